#include "keyboard_layouts.h"

#include <iterator>

namespace keyboard {
namespace {

constexpr DWORD kAlignRight = 1;

// Cell uses: an empty cell, a key of one cell, a key two cells wide.
constexpr DWORD N = 0;
constexpr DWORD U = 1;
constexpr DWORD L = 3;

constexpr KeyDefinition kEmpty = {L"", L"", N};
constexpr KeyDefinition kBackspace = {L"BS", L"\b", U};
constexpr KeyDefinition kEnter = {L"ENTER", L"\r", L};

constexpr KeyDefinition kInteger[] = {
    {L"7", L"7", U}, {L"8", L"8", U}, {L"9", L"9", U}, {L"0", L"0", U}, kBackspace,
    {L"4", L"4", U}, {L"5", L"5", U}, {L"6", L"6", U}, kEmpty,          kEmpty,
    {L"1", L"1", U}, {L"2", L"2", U}, {L"3", L"3", U}, kEnter,          kEmpty,
};

constexpr KeyDefinition kFloat[] = {
    {L"7", L"7", U}, {L"8", L"8", U}, {L"9", L"9", U}, {L"0", L"0", U}, kBackspace,
    {L"4", L"4", U}, {L"5", L"5", U}, {L"6", L"6", U}, {L".", L".", U}, {L"-", L"-", U},
    {L"1", L"1", U}, {L"2", L"2", U}, {L"3", L"3", U}, kEnter,          kEmpty,
};

constexpr KeyDefinition kAlpha[] = {
    {L"A", L"A", U}, {L"B", L"B", U},  {L"C", L"C", U}, {L"D", L"D", U}, {L"E", L"E", U},
    {L"F", L"F", U}, {L"G", L"G", U},  {L"H", L"H", U}, {L"I", L"I", U}, {L"J", L"J", U},
    {L"K", L"K", U}, {L"L", L"L", U},  {L"M", L"M", U}, {L"N", L"N", U}, {L"O", L"O", U},
    {L"P", L"P", U}, {L"Q", L"Q", U},  {L"R", L"R", U}, {L"S", L"S", U}, {L"T", L"T", U},
    {L"U", L"U", U}, {L"V", L"V", U},  {L"W", L"W", U}, {L"X", L"X", U}, {L"Y", L"Y", U},
    {L"Z", L"Z", U}, {L"<", L"\b", U},
};

constexpr KeyDefinition kCalculator[] = {
    {L"7", L"7", U}, {L"8", L"8", U}, {L"9", L"9", U}, {L"0", L"0", U}, {L"/", L"/", U},
    kBackspace,      {L"4", L"4", U}, {L"5", L"5", U}, {L"6", L"6", U}, {L".", L".", U},
    {L"*", L"*", U}, {L"-", L"-", U}, {L"1", L"1", U}, {L"2", L"2", U}, {L"3", L"3", U},
    {L"+", L"+", U}, kEnter,          kEmpty,
};

constexpr Layout kLayouts[] = {
    {3, 5, kAlignRight, kInteger},    // StyleInteger
    {3, 5, kAlignRight, kFloat},      // StyleFloat
    {3, 9, kAlignRight, kAlpha},      // StyleAlpha
    {3, 6, kAlignRight, kCalculator}, // StyleCalculator
};

static_assert(std::size(kInteger) == 15 && std::size(kFloat) == 15);
static_assert(std::size(kAlpha) == 27 && std::size(kCalculator) == 18);

} // namespace

const Layout* PredefinedLayout(DWORD style) {
    return style < std::size(kLayouts) ? &kLayouts[style] : nullptr;
}

} // namespace keyboard
