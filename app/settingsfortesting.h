#ifndef SETTINGSFORTESTING_H
#define SETTINGSFORTESTING_H

#include <QString>

// Test-only seam: the program never includes this header. Points every
// settings access of this process at another file (a temporary folder), so
// tests never touch a settings file beside the test executable. Tests that
// must see the real location run the program or a helper from a copied folder.
namespace SettingsForTesting {
void SetFile(const QString &sFilePath);
void Reset();
} // namespace SettingsForTesting

#endif // SETTINGSFORTESTING_H
