// The spiky ball creature that the player shoots: a shaded ball ringed with horn-like spikes and
// two slanted, glowing eyes. It is painted natively at each size from one model, with
// outline width, spike shape and eye size tuned per size so that small pictures stay crisp.
#pragma once

#include "tools/image.h"

struct TargetLook {
    float radius;      // from the centre to the spike tips, in pixels
    float outline;     // outline width in pixels
    float eyeScale;    // 1 = natural; small pictures get larger eyes to stay readable
    bool pupils;       // slit pupils (too fine for the smallest pictures)
    bool teeth;        // fangs in the grin (likewise)
    float glow;        // 0 (dim) .. 1 (blazing) eye glow
    int spikes = 12;   // horns around the ball (fewer read better in an icon)
    float body = 0.69f;  // the ball's radius, a share of `radius`
    bool glints = true;
    float halo = 1;    // how much the eyes light up the skin around them
};

// The look of the creature drawn in a square cell of the given size, in animation phase 0..4.
TargetLook TargetInCell(int cellSize, int phase);

// Paints the creature centred at (cx, cy), supersampled n by n per pixel.
void PaintTarget(Image& image, float cx, float cy, const TargetLook& look, int n);
