// quendra-make-assets OUTDIR [ICONDIR]: writes every picture, sound, the icon and the key table
// that the game embeds, and the desktop icons (ICONDIR/quendra-N.png). The output is the same,
// byte for byte, on every run.
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "platform/catalogue.h"
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
        WriteFile(dir + IDB_SPRITES_FILE, EncodeBmp(MakeSprites()));
        WriteFile(dir + IDB_BACKGROUND_FILE, EncodeBmp(MakeBackground()));
        WriteFile(dir + IDB_EXPLOSION_FILE, EncodeBmp(MakeExplosion()));
        WriteFile(dir + IDB_SPLAT_FILE, EncodeBmp(MakeSplat()));
        WriteFile(dir + IDB_CROSSHAIR_FILE, EncodeBmp(MakeCrosshair()));
        WriteFile(dir + IDB_MENUPANEL_FILE, EncodeBmp(MakeMenuPanel()));
        WriteFile(dir + IDB_MENUITEMS_FILE, EncodeBmp(MakeMenuItems()));
        WriteFile(dir + IDB_LOADING_FILE, EncodeBmp(MakeLoading()));
        for (auto [name, sound] : {std::pair{IDR_VORPSHOT_FILE, MakeShotSound()},
                                   std::pair{IDR_VORPDIE_FILE, MakeDieSound()},
                                   std::pair{IDR_VORPSPLAT_FILE, MakeSplatSound()}})
            WriteFile(dir + name, EncodeWav(sound.samples, sound.rate));
        const auto icons = MakeIcons();
        WriteFile(dir + ICON_IMAGES_FILE, EncodeIcon(icons));
        WriteFile(dir + IDI_APP_FILE, EncodeIconGroup(icons));
        std::vector<Accelerator> keys;
        for (const KeyCommand& entry : KEY_TABLE)
            keys.push_back({entry.flags, entry.key, entry.command});
        WriteFile(dir + IDR_ACCEL_FILE, EncodeAccelerators(keys));
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
