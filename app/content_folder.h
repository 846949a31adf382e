// Finding the content: the folder whose model, bitmap, height-map and sound
// files the program opens by their fixed names.
//
// The program reads its content relative to the working folder. Started
// from a folder that doesn't hold it (from a menu, from a terminal anywhere)
// it changes to the content folder before it opens anything: the one named
// by VEXARION_DATA, else the first that holds the models among the working
// folder, the executable's own folder and ../share/vexarion next to it (an
// installed program in PREFIX/bin finds PREFIX/share/vexarion).
#pragma once
#include <string>
#include <vector>

// The models, the effects' bitmaps and the height map, by their fixed names.
inline constexpr const char* sceneFileNames[] = {
    "LAND.KMO", "ROOM.KMO", "MAN.KMO", "SMOKE.BMP", "LIGHT.BMP", "FLARE.BMP", "Water.bmp", "Height.raw",
};

// Every content file the program opens by a fixed name: those above and
// the sounds' (sound/sound.h). Bitmaps that the models' materials name come
// on top of them.
std::vector<std::string> contentFileNames();

// Whether `folder` holds the three model files, which make the scene.
bool holdsContent(const std::string& folder);

// The content folder to use. `dataOverride` (VEXARION_DATA, or null) wins
// whatever it holds. Otherwise the first of `workingFolder`, `executableFolder`
// and executableFolder/../share/vexarion that holds the content; "" when
// none does, with every folder looked at in `searched`.
std::string chooseContentFolder(const char* dataOverride, const std::string& workingFolder,
                                const std::string& executableFolder, std::vector<std::string>* searched);

// The fixed-name files missing from `folder`.
std::vector<std::string> missingContent(const std::string& folder);

// Chooses the content folder, makes it the working folder and tells the
// user (notice.h) what is missing and where it was looked for. False only
// when VEXARION_DATA names a folder that can't be entered; missing content
// is reported and the program runs on with what there is. Folders are UTF-8.
bool enterContentFolder();
