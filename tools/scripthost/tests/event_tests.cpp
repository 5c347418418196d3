// Events reach the script's Sub <Name>_<Event> handlers through the
// controls' connection points: with their arguments, by reference where the
// event says so, in the order the handlers were connected.
#include <gtest/gtest.h>

#include "host_run.h"
#include "probe_server.h"
#include "scan_desk.h"

namespace {

class HostEvents : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(probe_.result(), S_OK); }

    RegisteredProbe probe_;
};

TEST_F(HostEvents, HandlerWritesAByReferenceArgumentBackToTheControl) {
    HostRun run;
    ASSERT_TRUE(run.Start("Set probe = CreateObject(\"ScriptHostProbe.HostProbe\")\r\n"
                          "Host.Connect probe, \"Probe\"\r\n"
                          "Sub Probe_Asked(text)\r\n"
                          "    Host.Echo \"asked\", text\r\n"
                          "    text = text & \" answered\"\r\n"
                          "End Sub\r\n"
                          "Host.Echo \"answer\", probe.Ask(\"question\")\r\n"
                          "Host.Echo \"byref ok\"\r\n"
                          "Host.Quit\r\n"));
    EXPECT_EQ(run.Finish(), 0u) << run.Errors();
    EXPECT_EQ(run.Output(), "asked question\r\nanswer question answered\r\nbyref ok\r\n");
}

TEST_F(HostEvents, TwoConnectionsFireInConnectionOrderAndUnhandledEventsAreSilent) {
    HostRun run;
    ASSERT_TRUE(run.Start("Set probe = CreateObject(\"ScriptHostProbe.HostProbe\")\r\n"
                          "Host.Connect probe, \"Second\"\r\n"
                          "Host.Connect probe, \"First\"\r\n"
                          "Sub First_Rung(value)\r\n"
                          "    Host.Echo \"first\", value\r\n"
                          "End Sub\r\n"
                          "Sub SECOND_RUNG(value)\r\n"
                          "    Host.Echo \"second\", value\r\n"
                          "End Sub\r\n"
                          "probe.Ring 5\r\n"
                          // Neither prefix has an Asked handler: the text comes back unchanged.
                          "Host.Echo \"ask\", probe.Ask(\"same\")\r\n"
                          "Host.Echo \"order ok\"\r\n"
                          "Host.Quit\r\n"));
    EXPECT_EQ(run.Finish(), 0u) << run.Errors();
    EXPECT_EQ(run.Output(), "second 5\r\nfirst 5\r\nask same\r\norder ok\r\n");
}

TEST_F(HostEvents, RuntimeErrorInAHandlerFailsTheRunWithItsLine) {
    HostRun run;
    ASSERT_TRUE(run.Start("Set probe = CreateObject(\"ScriptHostProbe.HostProbe\")\r\n"
                          "Host.Connect probe, \"Probe\"\r\n"
                          "Sub Probe_Rung(value)\r\n"
                          "    Host.Echo \"rung\", value\r\n"
                          "    Host.Echo 1 / 0\r\n"
                          "End Sub\r\n"
                          "probe.Ring 1\r\n"
                          "Host.Sleep 100\r\n"
                          "Host.Echo \"not reached\"\r\n"));
    EXPECT_EQ(run.Finish(), 1u);
    EXPECT_EQ(run.Output(), "rung 1\r\n");
    EXPECT_NE(run.Errors().find(".vb(5, "), std::string::npos) << run.Errors();
    EXPECT_NE(run.Errors().find("Division by zero"), std::string::npos) << run.Errors();
}

TEST(HostReader, InjectedScanReachesTheReadersCompleteReadHandler) {
    dataserver::ScanDesk desk;
    ASSERT_TRUE(desk.valid());
    HostRun run;
    ASSERT_TRUE(
        run.Start("Set reader = CreateObject(\"Harvanti.HVTAXBarCode\")\r\n"
                  "Host.Connect reader, \"Reader\"\r\n"
                  "Sub Reader_CompleteRead(lStatus, pData, eSymbology, eDataType, stDate)\r\n"
                  "    Host.Echo \"read\", lStatus, pData, eSymbology, eDataType, "
                  "VarType(stDate)\r\n"
                  "    Host.Echo \"scan delivered\"\r\n"
                  "    Host.Quit\r\n"
                  "End Sub\r\n"
                  "reader.DeviceName = \"HostScanner\"\r\n"
                  "reader.ReadAhead = True\r\n"
                  "reader.PostRead 512, 0\r\n"
                  "Host.Echo \"waiting\"\r\n"));
    ASSERT_TRUE(run.WaitForOutput("waiting\r\n")) << run.Errors();
    ASSERT_TRUE(desk.WaitForDevice(L"HostScanner", 10000, [](const auto& state) {
        return state.has_value() && state->readsWaiting > 0;
    }));
    dataserver::Scan scan;
    scan.device = L"HostScanner";
    scan.symbology = 3;
    scan.dataType = 1;
    const std::string code = "4006381333931";
    scan.data.assign(code.begin(), code.end());
    ASSERT_TRUE(desk.Inject(scan));

    EXPECT_EQ(run.Finish(), 0u) << run.Errors();
    EXPECT_EQ(run.Output(), "waiting\r\nread 0 4006381333931 3 1 7\r\nscan delivered\r\n");
}

} // namespace
