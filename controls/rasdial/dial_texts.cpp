#include "dial_texts.h"

#include <iterator>

namespace dialvora {
namespace {

struct CodeText {
    DWORD code;
    const wchar_t* text;
};

// Connection states; any other state is "Unspecified error %d".
const CodeText kStateTexts[] = {
    {0, L"Opening connection port"},
    {1, L"Dialing..."},
    {2, L"Unable to contact server"},
    {3, L"Device connected"},
    {4, L"All Devices connected"},
    {5, L"Authenticating"},
    {6, L"Username and/or password is invalid"},
    {7, L"Authentication retry"},
    {8, L"Negotiating Callback"},
    {9, L"Negotiating Password Change"},
    {10, L"Negotiating Project"},
    {11, L"Negotiating Link Speed"},
    {12, L"Authentication Ack"},
    {13, L"Re-authenticating"},
    {14, L"Authenticated"},
    {4097, L"Authentication Retry"},
    {4099, L"Password Expired"},
    {8192, L"Connection established"},
    {8193, L"Cannot connect. Make sure there is no other connection active"},
};

// Error codes; any other is "Unspecified error".
const CodeText kErrorTexts[] = {
    {601, L"Invalid port handle"},
    {602, L"There is a connection already active"},
    {603, L"Buffer too small"},
    {604, L"Wrong information specified"},
    {605, L"Cannot set port information"},
    {606, L"The connection port is not connected"},
    {607, L"Invalid event"},
    {608, L"The device does not exist"},
    {609, L"The device type does not exist"},
    {610, L"Invalid buffer"},
    {611, L"Route not available"},
    {612, L"Route not allocated"},
    {613, L"Invalid compression specified"},
    {614, L"Out of buffers"},
    {615, L"The connection port was not found. Make sure you are using the correct device"},
    {616, L"Async request pending"},
    {617, L"Already disconnecting"},
    {618, L"The connection port is not open"},
    {619, L"The connection port disconnected"},
    {620, L"No endpoints"},
    {623, L"Cannot find phonebook entry"},
    {628, L"Disconnection"},
    {629, L"Remote disconnection"},
    {630, L"Hardware failure"},
    {631, L"User disconnection"},
    {632, L"Invalid size"},
    {633,
     L"The connection port is not available. Make sure you are using the correct network device"},
    {634, L"Cannot project client"},
    {635, L"Unknown error"},
    {636, L"Wrong device attached"},
    {637, L"Bad string"},
    {638, L"Request timeout"},
    {640, L"Netbios error"},
    {641, L"Server out of resources"},
    {642, L"Name already exists on network"},
    {643, L"Server general network failure"},
    {645, L"Internal authentication error"},
    {646, L"Restricted logon hours"},
    {647, L"The account is disabled"},
    {648, L"The password is expired"},
    {649, L"No dialin permission"},
    {650, L"The server is not responding"},
    {651, L"Error from device"},
    {658, L"Device name too long"},
    {659, L"Device name not found"},
    {663, L"Unknown device type"},
    {664, L"Error allocating memory"},
    {665, L"The connection port is not configured"},
    {666, L"The device is not ready"},
    {668, L"The connection doesn't exist"},
    {676, L"The line is busy"},
    {677, L"Voice answer detected"},
    {678, L"No answer detected. Check your destination and try again"},
    {679, L"No carrier detected. Make sure your line is connected"},
    {680, L"No dialtone detected. Make sure your line is connected"},
    {691, L"The username and/or password is invalid on the domain"},
    {692, L"Error on port or device"},
    {698, L"Unknown response key"},
    {699, L"Receiver buffer full"},
    {700, L"Command too long"},
    {701, L"Unsupported line rate"},
    {704, L"Invalid callback number"},
    {705, L"Invalid authentication state"},
    {708, L"Account expired"},
    {709, L"Error changing password"},
    {710, L"Overrun"},
    {711, L"Rasman cannot initialize"},
    {715, L"Too many line errors"},
    {716, L"The Remote Access IP configuration is unusable"},
    {717, L"No IP addresses are available in the static pool of Remote Access IP addresses"},
    {718, L"Timed out waiting for a valid response from the remote PPP peer"},
    {719, L"PPP terminated by remote machine"},
    {720, L"No PPP control protocols configured"},
    {721, L"Remote PPP peer is not responding"},
    {722, L"Invalid PPP packet"},
    {723, L"Phone number too long"},
    {728, L"No IP RAS adapter"},
    {729, L"SLIP requires IP"},
    {731, L"Protocol not configured"},
    {732, L"The PPP negotiation is not converging"},
    {733, L"PPP - CP rejected"},
    {734, L"The PPP link control protocol terminated"},
    {735, L"The requested address was rejected by the server"},
    {736, L"The remote computer terminated the control protocol"},
    {737, L"PPP - Loopback detected"},
    {738, L"The server did not assign an address"},
    {739, L"Cannot use logon credentials"},
    {740, L"TAPI configuration"},
    {741, L"The local computer does not support the required encryption type"},
    {742, L"The remote computer does not support the required encryption type"},
    {743, L"The remote computer requires encryption"},
    {749, L"Bad phone number"},
    {751, L"PPP - MAC error"},
    {752, L"PPP - LCP error"},
    {753, L"PPP - Authentication error"},
    {754, L"PPP - NCP error"},
    {800, L"Unable to establish VPN connection. Check server address and security parameters"},
};

const wchar_t* Find(const CodeText* table, size_t size, DWORD code) {
    for (size_t i = 0; i < size; ++i) {
        if (table[i].code == code) {
            return table[i].text;
        }
    }
    return nullptr;
}

} // namespace

std::wstring StateText(DWORD state) {
    if (const wchar_t* text = Find(kStateTexts, std::size(kStateTexts), state)) {
        return text;
    }
    return L"Unspecified error " + std::to_wstring(static_cast<int>(state));
}

std::wstring ErrorCodeText(DWORD error) {
    const wchar_t* text = Find(kErrorTexts, std::size(kErrorTexts), error);
    return text != nullptr ? text : L"Unspecified error";
}

std::wstring FailureText(DWORD error, const std::wstring& text) {
    return L"[" + std::to_wstring(static_cast<int>(error)) + L"] " + text + L".";
}

} // namespace dialvora
