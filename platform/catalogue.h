// The catalogue of the files the program embeds, one row each: the constant the code names the
// resource by, its type, its number (sounds are named by the constant's own text instead), and
// its file in resources/. The build reads these rows to link the files in, the resource lookup
// to find them, the scripted sound engine to name a sound by its file, and the generator to
// write each file. The icon file's images are found by their place in it, from 1.
#pragma once

#include <cstdint>

#define QUENDRA_NUMBERED(X)                              \
    X(IDB_LOADING, RT_BITMAP, 101, "loading.bmp")        \
    X(IDB_BACKGROUND, RT_BITMAP, 105, "background.bmp")  \
    X(IDB_MENUPANEL, RT_BITMAP, 106, "menupanel.bmp")    \
    X(IDB_SPLAT, RT_BITMAP, 107, "splat.bmp")            \
    X(IDB_SPRITES, RT_BITMAP, 108, "sprites.bmp")        \
    X(IDB_CROSSHAIR, RT_BITMAP, 109, "crosshair.bmp")    \
    X(IDB_EXPLOSION, RT_BITMAP, 117, "explosion.bmp")    \
    X(IDB_MENUITEMS, RT_BITMAP, 120, "menuitems.bmp")    \
    X(IDR_ACCEL, RT_ACCELERATOR, 102, "keys.bin")        \
    X(IDI_APP, RT_GROUP_ICON, 103, "app-icon-group.bin") \
    X(ICON_IMAGES, RT_ICON, 0, "app.ico")

#define QUENDRA_NAMED(X)                  \
    X(IDR_VORPSHOT, RT_WAVE, "shot.wav")  \
    X(IDR_VORPDIE, RT_WAVE, "die.wav")    \
    X(IDR_VORPSPLAT, RT_WAVE, "splat.wav")

// IDB_LOADING = 101 ..., IDR_VORPSHOT = "IDR_VORPSHOT" ..., and each file as IDB_LOADING_FILE.
#define QUENDRA_NUMBER(constant, type, number, file)       \
    inline constexpr std::uint16_t constant = number;      \
    inline constexpr const char* constant##_FILE = file;
#define QUENDRA_NAME(constant, type, file)                 \
    inline constexpr const char* constant = #constant;     \
    inline constexpr const char* constant##_FILE = file;
QUENDRA_NUMBERED(QUENDRA_NUMBER)
QUENDRA_NAMED(QUENDRA_NAME)
#undef QUENDRA_NUMBER
#undef QUENDRA_NAME
