// Helpers shared by the tests: a fresh program in a fresh folder, and frames rebuilt from art.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/scripted/scripted.h"
#include "platform/window.h"

// Puts the whole program back as freshly started, freeing whatever a previous test left.
void ResetProgram();

// A fresh program in a temporary folder of its own, its sound and message lines kept.
class ProgramTest : public ::testing::Test {
protected:
    // How far the program gets before each test: nothing yet, its window, or started up.
    enum Start { kNothing, kWindow, kStarted };
    explicit ProgramTest(Start start = kNothing) : start_(start) {}
    void SetUp() override;
    void TearDown() override;
    // Makes the window; with `start`, runs the start-up as well.
    void Open(bool start);
    // The sound and message lines printed since the last call.
    std::string Output();

    HWND window_ = nullptr;

private:
    Start start_;
    std::filesystem::path home_, dir_;
    std::FILE* output_ = nullptr;
};

using Page = std::vector<std::uint16_t>;  // SCREEN_WIDTH x SCREEN_HEIGHT RGB565, row by row

// A picture as the display holds it; pixels equal to `key` are left out (-1: none).
struct Art {
    int width = 0, key = -1;
    Page pixels;
};
Art LoadArt(std::uint16_t id, int key);
// Draws the region (left, top, width, height) of `art` at (x, y) of `page`.
void Put(Page& page, const Art& art, int x, int y, int left, int top, int width, int height);
// The last presented frame is `expected`, pixel for pixel.
void ExpectPresented(const Page& expected);
