// Shows one real message box through the program's MsgBox and exits with the id
// of the button pressed: the end-to-end tests answer it from outside.
#include <windows.h>

#include "support/MsgBox.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return MsgBox("セットアップを開始します．\rよろしいですか？", "Tessera Setup 確認", MB_YESNO | MB_ICONQUESTION);
}
