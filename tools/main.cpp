// quendra-make-assets OUTDIR [ICONDIR]: writes every picture, sound, the icon and the key table
// that the game embeds, and the desktop icons (ICONDIR/quendra-N.png). The output is the same,
// byte for byte, on every run.
#include <cstdio>
#include <exception>
#include <string>
#include <utility>

#include "tools/artwork.h"
#include "tools/formats.h"
#include "tools/png.h"
#include "tools/sounds.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTDIR [ICONDIR]\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        WriteFile(dir + "sprites.bmp", EncodeBmp(MakeSprites()));
        WriteFile(dir + "background.bmp", EncodeBmp(MakeBackground()));
        WriteFile(dir + "explosion.bmp", EncodeBmp(MakeExplosion()));
        WriteFile(dir + "splat.bmp", EncodeBmp(MakeSplat()));
        WriteFile(dir + "crosshair.bmp", EncodeBmp(MakeCrosshair()));
        WriteFile(dir + "menupanel.bmp", EncodeBmp(MakeMenuPanel()));
        WriteFile(dir + "menuitems.bmp", EncodeBmp(MakeMenuItems()));
        WriteFile(dir + "loading.bmp", EncodeBmp(MakeLoading()));
        for (auto [name, sound] : {std::pair{"shot.wav", MakeShotSound()}, std::pair{"die.wav", MakeDieSound()},
                                   std::pair{"splat.wav", MakeSplatSound()}})
            WriteFile(dir + name, EncodeWav(sound.samples, sound.rate));
        const auto icons = MakeIcons();
        WriteFile(dir + "app.ico", EncodeIcon(icons));
        WriteFile(dir + "app-icon-group.bin", EncodeIconGroup(icons));
        // Down, Escape, Alt+F10, Enter, Up. Flags: 0x01 virtual key, 0x02 no menu flash,
        // 0x10 with Alt, 0x80 the last entry.
        WriteFile(dir + "keys.bin", EncodeAccelerators({{0x03, 0x28, 40004},
                                                        {0x03, 0x1B, 40002},
                                                        {0x13, 0x79, 40001},
                                                        {0x03, 0x0D, 40007},
                                                        {0x83, 0x26, 40003}}));
        for (int size : {16, 32, 48, 64, 128, 256})
            if (argc == 3)
                WriteFile(std::string(argv[2]) + "/quendra-" + std::to_string(size) + ".png",
                          EncodePng(MakeDesktopIcon(size)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quendra-make-assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
