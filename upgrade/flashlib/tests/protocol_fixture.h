// A terminal end of the engine line (COM4, configured as the entry points
// configure it) with a simulated engine on the far end (COM14), the library
// log opened in a folder of the test's own, and the upgrade events raised
// since the test began.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "common/handle.h"
#include "engine/engine_thread.h"
#include "event_capture.h"

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the engine on COM14 and opens the terminal's end of the line.
    void StartEngine(engine::EngineConfig config);
    // Ends the engine's thread; its flash, transcript and complaints stay.
    void StopEngine();
    HANDLE Port() const { return port_.get(); }
    engine::ScanEngine& Engine() { return engine_->Engine(); }
    std::string Wire() const { return engine_->Wire().Text(); }
    std::vector<BYTE> HostBytes() const;

    // Writes a file in the test's folder and gives its multibyte path.
    std::string MakeFile(const std::string& name, const std::string& bytes);
    std::string PathOf(const std::string& name) const;
    std::string ReadBack(const std::string& name) const;

    // Closes the library log and gives what it holds; the elapsed time of a
    // failed read ("timediff=") reads as "T".
    std::string LogText();
    // Opens the library log again, empty, for a further run in the same test.
    void ReopenLog();
    // Upgrade events raised since the test began, oldest first.
    std::vector<RaisedEvent> Events() { return events_.Events(); }

private:
    EventCapture events_;

    std::wstring folder_;
    std::unique_ptr<engine::EngineThread> engine_;
    common::UniqueFile port_;
};

// Bytes that differ from block to block and from word to word.
std::string Pattern(size_t size, unsigned seed);
// `count` copies of the little-endian word.
std::string Repeat(WORD word, size_t count);
// The little-endian word at word index `i` of a byte string.
WORD WordAt(const std::string& bytes, size_t i);
// Whether `needle` occurs in `haystack` as a run of consecutive bytes.
bool ContainsRun(const std::vector<BYTE>& haystack, const std::vector<BYTE>& needle);
// Whether every event of `expected` occurs in `events`, in this order.
bool ContainsInOrder(const std::vector<RaisedEvent>& events,
                     const std::vector<RaisedEvent>& expected);
