// The element controls: the keys that turn earth, water, fire and air
// against the character.
//
// Earth and water are held keys polled every interactive frame: E lowers the
// land (Shift+E raises it) with the quake sound, W lowers the sea (Shift+W
// raises it) and the surf's volume follows. Fire and air are typed commands:
// L strikes lightning, t brings the tornado down, T sends it up. Esc quits.
#pragma once

// The volumes the held keys drive, in percent.
struct ElementControls {
    float quakeVolume = 0.0f;  // pushed to the quake sound every interactive frame
    float seaVolume = 0.0f;    // pushed to the sea sound every interactive frame
};
extern ElementControls controls;

// One interactive frame of the held-key controls; frameTime in seconds.
void updateElementControls(float frameTime);

// A typed character from the window procedure. Letters act only after the
// intro; Esc always quits.
void characterCommand(int code);
