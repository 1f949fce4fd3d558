#pragma once

#include <QString>

class UserMessages;

// The user's working folder, as the kelmir command asks the program to
// prepare it: the folder made when missing (private to the user, 0700),
// a fresh datacore.vdf made there when it holds none (0600), and the
// process moved into it. An existing folder or file is never changed. A
// failure is shown in a Hungarian box and answers false: the program then
// ends before its window appears.
bool prepareWorkingFolder(const QString& folder, UserMessages& messages);
