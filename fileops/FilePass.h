#pragma once
#include <functional>

class CTwinseekDlg;

// One delete or move pass at a time.
//
// The command (window thread) asks FilePassRefused first, before any dialog; then
// StartFilePass claims FilePassRunning and starts the worker. The worker holds
// PassLock for the whole pass, so search steps wait meanwhile (and a re-search it
// starts begins only after it), and clears FilePassRunning when it ends, however.

// True when a delete or move pass still runs; the refusal has been shown then.
bool FilePassRefused(CTwinseekDlg& dlg);
// FilePassRefused, or the results are empty: the delete and move commands end then,
// the reason shown.
bool FilePassCannotBegin(CTwinseekDlg& dlg);
// False when refused (shown as above) or when the worker could not start.
bool StartFilePass(CTwinseekDlg& dlg, std::function<void()> pass);
