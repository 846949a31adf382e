/* Gives the desktop its own display mode back, as Windows does for a secure
 * desktop (Ctrl+Alt+Del, the lock screen, a UAC prompt) while a full-screen
 * program stays in front. Every top-level window gets WM_DISPLAYCHANGE. */
#include <windows.h>

int main(void)
{
    return ChangeDisplaySettingsW(NULL, 0) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}
