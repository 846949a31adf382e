// The start-up dialog, drawn with Dear ImGui in a small window of its own.
//
// The layout comes from the dialog's template (resources/): the program's
// name and a pointer to README.TXT, "Set display mode:" with a drop-down list
// of the modes, and the "Start!" button. Keyboard navigation
// is off, so Enter, Tab and Esc mean nothing here: "Start!" is the only way
// on, and closing the window is quitting. A player with only a game pad
// steers it with ImGui's gamepad navigation: the D-pad or the left stick
// moves between the list and the button, A (Cross) opens the list, picks a
// mode and presses "Start!", B (Circle) closes the list; the pad's Start
// button presses "Start!" from anywhere.
#include <cstdio>
#include <string>

#include <SDL.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>
#include <imgui_internal.h>  // the navigation's highlight, which 1.86 has no call for

#include "platform/display.h"
#include "platform/gl.h"
#include "platform/notice.h"
#include "platform/sdl/state.h"
#include "resources/display_mode_dialog.h"

namespace {

// Pixels per dialog unit.
const float unitX = 1.75f;
const float unitY = 1.75f;

ImVec2 units(float x, float y)
{
    return ImVec2(x * unitX, y * unitY);
}

// ImGui's SDL backend reads the first game controller into the navigation's
// inputs; every other open pad steers the dialog as well. Returns whether
// a pad's Start button is down.
bool navigateFromEveryPad(ImGuiIO& io)
{
    SDL_GameController* controllers[8];
    const int count = sdlPadControllers(controllers, 8);
    if (count > 0)
        io.BackendFlags |= ImGuiBackendFlags_HasGamepad;
    struct Button {
        ImGuiNavInput nav;
        SDL_GameControllerButton button;
    };
    const Button buttons[] = {
        {ImGuiNavInput_Activate, SDL_CONTROLLER_BUTTON_A},
        {ImGuiNavInput_Cancel, SDL_CONTROLLER_BUTTON_B},
        {ImGuiNavInput_DpadUp, SDL_CONTROLLER_BUTTON_DPAD_UP},
        {ImGuiNavInput_DpadDown, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
        {ImGuiNavInput_DpadLeft, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
        {ImGuiNavInput_DpadRight, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    };
    // The left stick past half its travel, as in the scene.
    const Sint16 deadZone = 16384;
    bool start = false;
    for (int c = 0; c < count; c++) {
        start = start || SDL_GameControllerGetButton(controllers[c], SDL_CONTROLLER_BUTTON_START);
        for (const Button& b : buttons)
            if (SDL_GameControllerGetButton(controllers[c], b.button))
                io.NavInputs[b.nav] = 1.0f;
        const Sint16 x = SDL_GameControllerGetAxis(controllers[c], SDL_CONTROLLER_AXIS_LEFTX);
        const Sint16 y = SDL_GameControllerGetAxis(controllers[c], SDL_CONTROLLER_AXIS_LEFTY);
        if (x < -deadZone)
            io.NavInputs[ImGuiNavInput_LStickLeft] = 1.0f;
        if (x > deadZone)
            io.NavInputs[ImGuiNavInput_LStickRight] = 1.0f;
        if (y < -deadZone)
            io.NavInputs[ImGuiNavInput_LStickUp] = 1.0f;
        if (y > deadZone)
            io.NavInputs[ImGuiNavInput_LStickDown] = 1.0f;
    }
    // ImGui takes a pad's first press (and the first after the mouse moved)
    // only for showing where the navigation stands; here it acts at once, so
    // A opens the list the first time it is pressed.
    for (float input : io.NavInputs)
        if (input > 0.0f)
            GImGui->NavDisableHighlight = false;
    return start;
}

// One frame of the dialog's contents, laid out from its template. Returns
// true when "Start!" was pressed.
bool drawDialog(const char* const* entries, int count, int* selected)
{
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##dialog", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);

    bool start = false;
    for (int c = 0; c < displayModeDialog.controlCount; c++) {
        const DialogControl& control = displayModeDialog.controls[c];
        ImGui::SetCursorPos(units(static_cast<float>(control.x), static_cast<float>(control.y)));
        switch (control.kind) {
        case DIALOG_STATIC: {
            // One line at a time, each starting at the control's left edge.
            const char* line = control.text;
            while (true) {
                const char* end = line;
                while (*end && *end != '\n')
                    end++;
                ImGui::SetCursorPosX(static_cast<float>(control.x) * unitX);
                ImGui::TextUnformatted(line, end);
                if (!*end)
                    break;
                line = end + 1;
            }
            break;
        }
        case DIALOG_COMBO_BOX: {
            ImGui::SetNextItemWidth(static_cast<float>(control.width) * unitX);
            const char* preview = (*selected >= 0 && *selected < count) ? entries[*selected] : "";
            if (ImGui::BeginCombo("##modes", preview)) {
                for (int i = 0; i < count; i++) {
                    ImGui::PushID(i);
                    bool isSelected = i == *selected;
                    if (ImGui::Selectable(entries[i], isSelected))
                        *selected = i;
                    if (isSelected)
                        ImGui::SetItemDefaultFocus();
                    ImGui::PopID();
                }
                ImGui::EndCombo();
            }
            // A pad's navigation starts on the list.
            ImGui::SetItemDefaultFocus();
            break;
        }
        case DIALOG_BUTTON:
            if (ImGui::Button(control.text,
                              units(static_cast<float>(control.width), static_cast<float>(control.height))) &&
                control.id == DIALOG_ID_START)
                start = true;
            break;
        }
    }
    ImGui::End();
    return start;
}

}  // namespace

bool dialogRun(const char* const* entries, int count, int* selected)
{
    if (!platformSdl.initialised)
        return false;
    if (count <= 0)
        *selected = -1;
    else if (*selected < 0 || *selected >= count)
        *selected = 0;

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_Window* window = SDL_CreateWindow(displayModeDialog.caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          static_cast<int>(static_cast<float>(displayModeDialog.width) * unitX),
                                          static_cast<int>(static_cast<float>(displayModeDialog.height) * unitY),
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) {
        noticeShow(NOTICE_WARNING, std::string("Vexarion: cannot open the dialog: ") + SDL_GetError() + "\n");
        return false;
    }
    sdlGiveIcon(window);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(1);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the program writes no files
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableGamepad;
    sdlPadsStart();
    ImGui::StyleColorsLight();
    ImGui_ImplSDL2_InitForOpenGL(window, context);
    ImGui_ImplOpenGL2_Init();

    bool started = false;
    bool padStartHeld = true;  // a Start held as the dialog opens counts once let go
    bool quit = false;
    Uint32 windowId = SDL_GetWindowID(window);
    while (!started && !quit) {
        SDL_Event event;
        // Sleep until something happens or a tenth of a second passes; the
        // dialog has nothing to animate.
        if (SDL_WaitEventTimeout(&event, 100)) {
            do {
                ImGui_ImplSDL2_ProcessEvent(&event);
                sdlPadEvent(event);
                if (event.type == SDL_QUIT)
                    quit = true;
                if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
                    event.window.windowID == windowId)
                    quit = true;
            } while (SDL_PollEvent(&event));
        }
        if (quit)
            break;

        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        const bool padStart = navigateFromEveryPad(io);
        ImGui::NewFrame();
        started = drawDialog(entries, count, selected) || (padStart && !padStartHeld);
        padStartHeld = padStart;
        ImGui::Render();
        glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
        glClearColor(0.94f, 0.94f, 0.94f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(window);
    }

    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    // Events the dialog left behind (its close, stray keys) belong to it.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    return started;
}
