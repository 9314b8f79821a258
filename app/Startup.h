#pragma once
// Program start: the ten long-lived windows, the options-file check and the
// message loop.

#include <string>

namespace proctorium {

// Creates StartForm, Form1, AddEditForm, SearchForm, ResultsForm,
// NewPasswordDlg, PasswordDlg, AdminOptions, AboutBox and TimerValue, in
// that order. Nothing is shown and no file is read.
void CreateForms(const std::string& programFolder);
// Frees them again (tests create them anew for each case).
void DestroyForms();

// The folder of the running executable, from its own path.
std::string ExecutableFolder();

// False, after telling the user, when the options file is missing.
bool CheckOptionsFile(const std::string& programFolder);

// Whole start-up: forms, options check, message loop. Returns the exit code.
int RunProctorium(const std::string& programFolder);

}  // namespace proctorium
