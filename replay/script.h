// The replay script language: one command a line, checked whole before anything runs.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace replay {

enum class Command {
    Wait, Clock, Frame, Play, Key, Mouse, ButtonDown, ButtonUp, Minimize, Restore, Hide, Close,
    FaultFlipBusy, FaultSurfaceLost, FaultMouseRead, FaultAcquireLost, State, Dump,
};

struct Line {
    int number = 0;  // in the script file, from 1
    Command command = Command::State;
    std::uint32_t count = 0;      // frame, play, fault counts
    std::uint32_t ms = 0;         // wait, clock, play
    std::int32_t dx = 0, dy = 0;  // mouse
    std::uint32_t key = 0;        // virtual key
    std::uint8_t modifiers = 0;   // MOD_* held with the key
    std::string path;             // dump
};

struct ParseError {
    int line = 0;
    std::string message;
};

// Reads a whole script; false with the first bad line's number and what is wrong with it.
bool ParseScript(std::istream& input, std::vector<Line>& lines, ParseError& error);

// Decimal numbers as the script and the command line take them.
bool ParseUnsigned(const std::string& text, std::uint32_t& value);
bool ParseSigned(const std::string& text, std::int32_t& value);

}  // namespace replay
