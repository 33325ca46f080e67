// The launcher window: an SDL window with its own GL context, drawn with Dear ImGui, run by the
// platform's message loop. The result logic lives in LauncherState.
#include "platform/Launcher.h"

#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>

#include "platform/LauncherState.h"
#include "platform/OpenGL.h"
#include "platform/PlatformWindow.h"

namespace tavoFramework {

namespace {

constexpr int launcherSize = 200;  // client width and height, pixels
constexpr float fontPixels = 16.0f;
const char* const fallbackFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The state the window procedure and the drawing share while the launcher is open.
LauncherState state;

LRESULT launcherProcedure(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        state.apply(LauncherState::Action::Close);
        platform::postQuitMessage(0);
    } else if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        // The window stays open; the loop ends on the quit message and then releases it.
        state.apply(LauncherState::Action::Escape);
        platform::postQuitMessage(0);
    }
    return platform::defaultWindowProcedure(window, message, wParam, lParam);
}

bool fileReadable(const std::string& name)
{
    std::FILE* file = name.empty() ? nullptr : std::fopen(name.c_str(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

// DejaVu Sans at 16 pixels, wherever fontconfig finds it; ImGui's own font when there is none.
void loadFont()
{
    ImGuiIO& io = ImGui::GetIO();
    std::string file = platform::findFontFace("DejaVu Sans").file;
    if (!fileReadable(file))
        file = fallbackFontFile;
    if (!fileReadable(file) || !io.Fonts->AddFontFromFileTTF(file.c_str(), fontPixels)) {
        platform::debugPrintf("launcher: no DejaVu Sans font file, using the built-in font\n");
        io.Fonts->AddFontDefault();
    }
}

// A plain light dialog: frames 20 pixels high with 16-pixel text, so the check box is 20 high.
void setStyle()
{
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowPadding = ImVec2(0, 0);
    style.WindowBorderSize = 0;
    style.FramePadding = ImVec2(4, (20 - fontPixels) / 2);
    style.FrameBorderSize = 1;
    style.Colors[ImGuiCol_PopupBg].w = 1.0f;  // the opened list hides the controls under it
}

bool resolutionText(void*, int index, const char** text)
{
    *text = LauncherState::resolutions[index].text;
    return true;
}

// One frame of the four controls at their places (client pixels, from the top-left).
void drawFrame(WindowHandle window)
{
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();

    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
    ImGui::Begin("launcher", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);
    ImGui::SetCursorPos(ImVec2(10, 150));
    ImGui::Checkbox("fullscreen", &state.fullscreen);
    ImGui::SetCursorPos(ImVec2(10, 25));
    const bool launch = ImGui::Button("launch", ImVec2(175, 25));
    ImGui::SetCursorPos(ImVec2(10, 60));
    const bool exit = ImGui::Button("exit", ImVec2(175, 25));
    ImGui::SetCursorPos(ImVec2(10, 95));
    ImGui::SetNextItemWidth(175);
    ImGui::Combo("##resolution", &state.selection, resolutionText, nullptr, LauncherState::resolutionCount,
                 LauncherState::resolutionCount);
    ImGui::End();
    ImGui::Render();

    int width = 0, height = 0;
    platform::clientSize(window, width, height);
    glViewport(0, 0, width, height);
    const ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    glClearColor(background.x, background.y, background.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    platform::swapBuffers(window);

    // A button closes the launcher as its click is handled, like a dialog's button would.
    if (launch || exit) {
        state.apply(launch ? LauncherState::Action::Launch : LauncherState::Action::Exit);
        platform::sendMessage(window, WM_CLOSE, 0, 0);
    }
}

}  // namespace

LauncherResult Launcher::show()
{
    state = LauncherState();
    if (!platform::startVideo()) {
        platform::debugPrintf("launcher: no display: %s\n", SDL_GetError());
        return state.result();
    }
    const int x = platform::screenWidth() / 2 - launcherSize / 2;
    const int y = platform::screenHeight() / 2 - launcherSize / 2;

    SDL_GL_ResetAttributes();
    const WindowHandle window =
        platform::createWindow("tavoSu", "lumafest 2011 - tirrel 20", x, y, launcherSize, launcherSize,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR, launcherProcedure);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window->sdl) : nullptr;
    if (!context) {
        platform::debugPrintf("launcher: no OpenGL window: %s\n", SDL_GetError());
        platform::releaseWindow(window);
        return state.result();
    }
    SDL_GL_MakeCurrent(window->sdl, context);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the launcher is stored
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;  // the cursor counter owns visibility
    loadFont();
    setStyle();
    ImGui_ImplSDL2_InitForOpenGL(window->sdl, context);
    ImGui_ImplOpenGL2_Init();
    window->eventHook = [](const SDL_Event& event) { ImGui_ImplSDL2_ProcessEvent(&event); };

    SDL_ShowWindow(window->sdl);
    SDL_RaiseWindow(window->sdl);
    SDL_SetWindowInputFocus(window->sdl);

    // One message per pass; a frame when the queue is empty, then a short wait for input (the
    // timeout lets the GUI finish what it shows a frame late, such as an opened list).
    platform::Message message;
    for (;;) {
        if (platform::peekMessage(message)) {
            if (message.message == WM_QUIT)
                break;
            platform::translateMessage(message);
            platform::dispatchMessage(message);
            continue;
        }
        if (platform::isWindowAlive(window))
            drawFrame(window);
        SDL_WaitEventTimeout(nullptr, 50);
    }

    window->eventHook = nullptr;
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_MakeCurrent(window->sdl, nullptr);
    SDL_GL_DeleteContext(context);
    platform::releaseWindow(window);
    return state.result();
}

}  // namespace tavoFramework
