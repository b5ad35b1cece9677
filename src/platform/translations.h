#pragma once
// Qt's standard dialogs and buttons (file dialogs, message box buttons, the colour chooser) speak
// the language of the program: Japanese.
namespace miratos::platform {

// Loads and installs Qt's Japanese translations; false when they are not installed.
bool installJapaneseTranslations();

} // namespace miratos::platform
