// Start-up and shut-down, strictly in their order.
#include <new>
#include <utility>

#include "app/app.h"
#include "audio/audio.h"
#include "display/screen.h"
#include "game/assets.h"
#include "game/random.h"
#include "game/state.h"
#include "input/mouse.h"
#include "platform/platform.h"
#include "platform/resource.h"

namespace {

constexpr std::uint32_t kLoadingX = (SCREEN_WIDTH - LOADING_WIDTH) / 2;  // centred
constexpr std::uint32_t kLoadingY = (SCREEN_HEIGHT - LOADING_HEIGHT) / 2;

Picture** const allPictures[] = {&backgroundPicture, &spritesPicture,   &explosionPicture,
                                 &loadingPicture,    &menuPanelPicture, &menuItemsPicture,
                                 &splatPicture,      &crosshairPicture};

}  // namespace

HRESULT InitDisplay(HWND window) {
    screen = new (std::nothrow) Screen;
    if (!screen) return E_OUTOFMEMORY;
    HRESULT r = screen->EnterFullScreen(window, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS);
    if (FAILED(r)) {
        MessageBox(window, MODE_FAILED_TEXT, ERROR_TITLE, MB_OK | MB_ICONERROR);
        return r;
    }
    return S_OK;
}

HRESULT InitSounds() {
    audioManager = new (std::nothrow) AudioManager;
    if (!audioManager) return E_FAIL;
    if (FAILED(audioManager->Open())) return E_FAIL;
    audioManager->LoadSound(&shotSound, IDR_VORPSHOT, RT_WAVE, true);
    audioManager->LoadSound(&dieSound, IDR_VORPDIE, RT_WAVE, true);
    audioManager->LoadSound(&splatSound, IDR_VORPSPLAT, RT_WAVE, true);
    return S_OK;
}

void FreeSounds() {
    for (SoundSegment** sound : {&shotSound, &dieSound, &splatSound}) {
        delete *sound;
        *sound = nullptr;
    }
    delete audioManager;
    audioManager = nullptr;
}

void FreeDisplay() {
    delete screen;
    screen = nullptr;
}

HRESULT InitGame(HWND window) {
    // Without a display the loop still runs: its first frame fails and says so.
    HRESULT r = InitDisplay(window);
    if (r == E_OUTOFMEMORY) return r;
    if (FAILED(r)) return S_OK;

    r = screen->LoadPicture(&loadingPicture, IDB_LOADING, LOADING_WIDTH, LOADING_HEIGHT);
    if (FAILED(r)) return r;
    screen->DrawPicture(kLoadingX, kLoadingY, loadingPicture);
    r = screen->ShowFrame();
    if (FAILED(r)) return r;

    // Without a mouse, likewise: the first menu frame fails for want of its pictures.
    if (FAILED(InitMouse(window))) return S_OK;
    InitSounds();  // a game without sound plays on
    SeedRandom(GetTickCount());

    struct Load {
        Picture** picture;
        std::uint16_t id;
        int width, height;
    };
    const Load loads[] = {
        {&backgroundPicture, IDB_BACKGROUND, BACKGROUND_WIDTH, BACKGROUND_HEIGHT},
        {&spritesPicture, IDB_SPRITES, SPRITES_WIDTH, SPRITES_HEIGHT},
        {&explosionPicture, IDB_EXPLOSION, EXPLOSION_WIDTH, EXPLOSION_HEIGHT},
        {&menuPanelPicture, IDB_MENUPANEL, MENUPANEL_WIDTH, MENUPANEL_HEIGHT},
        {&menuItemsPicture, IDB_MENUITEMS, MENUITEMS_WIDTH, MENUITEMS_HEIGHT},
        {&splatPicture, IDB_SPLAT, SPLAT_SIZE, SPLAT_SIZE},
        {&crosshairPicture, IDB_CROSSHAIR, CROSSHAIR_SIZE, CROSSHAIR_SIZE},
    };
    for (const Load& load : loads) {
        r = screen->LoadPicture(load.picture, load.id, load.width, load.height);
        if (FAILED(r)) return r;
    }

    const std::pair<Picture*, COLORREF> keys[] = {{splatPicture, KEY_BLACK},
                                                  {spritesPicture, KEY_WHITE},
                                                  {explosionPicture, KEY_BLACK},
                                                  {crosshairPicture, KEY_BLACK}};
    for (const auto& [picture, color] : keys) {
        r = picture->SetKeyColor(color);
        if (FAILED(r)) return r;
    }

    EndGame();
    return S_OK;
}

void FreeGame() {
    for (Picture** picture : allPictures) {
        if (!*picture) continue;
        (*picture)->Discard();
        delete *picture;
        *picture = nullptr;
    }
    FreeSounds();
    FreeDisplay();
    FreeMouse();
}
