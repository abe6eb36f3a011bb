#pragma once
// How the setup dialog and the saver window reach each other: the setup
// library knows nothing of saver windows, so the host hands each side a
// function that opens the other.

#include <optional>

#include "engine/DrawingSurface.h"
#include "settings/GlobalsUnit.h"

class TSaverForm;

// The Test button's saver: full screen with the dialog's settings, over the
// desktop as it was at start (may be null), modal, until it closes (S ends
// it).
void RunTestSaver(const TGlobals& settings, const Picture* desktop);

// The key S in the running saver: the setup dialog, modal over the saver.
// The settings it saved when it was confirmed.
std::optional<TGlobals> OpenSetupDialogOverSaver(TSaverForm& saver);
