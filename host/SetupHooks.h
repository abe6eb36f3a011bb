#pragma once
// How the setup dialog and the saver window reach each other: the setup
// library knows nothing of saver windows, so the host hands each side a
// function that opens the other.

class TSaverForm;

// The Test button's saver: full screen, modal, until it closes (S ends it).
void RunTestSaver();

// The key S in the running saver: the setup dialog, modal over the saver.
// True when it was confirmed and has saved the settings.
bool OpenSetupDialogOverSaver(TSaverForm& saver);
