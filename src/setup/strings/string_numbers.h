#pragma once
// The numbers of the interface strings that the code looks up, by name.
// LocalizedString() and LocalizedFormat() take these; the authoring tool's
// built-in English texts are filed under the same names. A "%s" or "%d" in
// a comment is the value the text is formatted with.

namespace setup {

inline constexpr int kStringSetupTitle = 0;                   // the installation's title, caption of plain messages
inline constexpr int kStringEarlierInstallationCaption = 2;   // caption of the earlier-installation notice
inline constexpr int kStringAlreadyInstalled = 3;             // the notice without a version comparison
inline constexpr int kStringSameVersionInstalled = 4;         // the notice for the same version
inline constexpr int kStringOlderVersionInstalled = 5;        // the notice for an upgrade
inline constexpr int kStringNewerVersionInstalled = 6;        // the notice for a downgrade
inline constexpr int kStringInstallOverQuestion = 7;          // the question that ends the notice
inline constexpr int kStringPreparingStatus = 8;              // status before the archive is read
inline constexpr int kStringUninstallFailed = 10;             // %s: what the uninstallation could not remove
inline constexpr int kStringRequiredProductMissing = 12;      // %s: the product needed first
inline constexpr int kStringCorruptInstaller = 13;            // %d: the check code
inline constexpr int kStringUninstallCompleteCaption = 15;    // caption of kStringUninstallComplete
inline constexpr int kStringQuestionCaption = 20;             // caption of questions
inline constexpr int kStringErrorCaption = 21;                // caption of error messages
inline constexpr int kStringCannotCreateFolder = 25;          // joined with the folder and the reason
inline constexpr int kStringUnpackingStatus = 29;             // status while the files are unpacked
inline constexpr int kStringUninstallTitle = 30;              // the uninstaller's title
inline constexpr int kStringFileNotInstalled = 31;            // joined with the path and the reason
inline constexpr int kStringUninstallComplete = 34;           // the uninstallation's success message
inline constexpr int kStringRemoveSharedFileCaption = 35;     // caption of the shared-file question
inline constexpr int kStringFinishingStatus = 36;             // status while the installation finishes
inline constexpr int kStringRestartQuestion = 37;             // restart after the installation
inline constexpr int kStringOutcomeQuestion = 40;             // %s: the log, offered after a failure
inline constexpr int kStringOutcomeQuestionCaption = 41;      // its caption
inline constexpr int kStringCompleted = 42;                   // the installation's success message
inline constexpr int kStringCompletedCaption = 43;            // its caption, also the log's outcome line
inline constexpr int kStringCancelButton = 49;                // button label
inline constexpr int kStringUninstallConfirmation = 53;       // the question before an uninstallation
inline constexpr int kStringInstallingStatus = 54;            // status while the files are installed
inline constexpr int kStringUninstallCaption = 55;            // caption of the uninstaller's messages
inline constexpr int kStringRemoveFontQuestion = 56;          // %s: the font
inline constexpr int kStringRemoveFontCaption = 57;           // caption of the font question
inline constexpr int kStringCannotDeleteFile = 58;            // joined with the path
inline constexpr int kStringRemoveSharedFileQuestion = 59;    // %s: the shared file
inline constexpr int kStringUnsupportedSystem = 61;           // %s: the system's name
inline constexpr int kStringCheckingStatus = 62;              // status while the installation data is checked
inline constexpr int kStringWizardCaption = 65;               // caption of the wizard pages
inline constexpr int kStringRemovingFontsStatus = 67;         // uninstallation status: fonts
inline constexpr int kStringReleasingSharedFilesStatus = 68;  // uninstallation status: shared files
inline constexpr int kStringRemovingRegistryStatus = 69;      // uninstallation status: registry entries
inline constexpr int kStringRemovingAssociationsStatus = 70;  // uninstallation status: file associations
inline constexpr int kStringUninstallProgressHeading = 71;    // progress heading of the uninstallation
inline constexpr int kStringOldVersionQuestion = 72;          // a version older than UpgradeVersion1
inline constexpr int kStringUninstallRestartQuestion = 74;    // restart after the uninstallation
inline constexpr int kStringAdminRequired = 77;               // administrator rights required
inline constexpr int kStringAdminRecommended = 78;            // administrator rights recommended: continue?
inline constexpr int kStringYesButton = 79;                   // button label
inline constexpr int kStringNoButton = 80;                    // button label
inline constexpr int kStringWrongBitness = 81;                // %d: the bitness the product needs
inline constexpr int kStringAnotherInstallationRunning = 91;  // a second installation at the same time
inline constexpr int kStringCreatingRestorePoint = 97;        // status while the restore point is created
inline constexpr int kStringInstallCancelled = 98;            // the installation was cancelled
inline constexpr int kStringProgramRunning = 99;              // %s: the program that must be closed
inline constexpr int kStringRetryButton = 100;                // button label
inline constexpr int kStringUninstallCancelled = 101;         // the uninstallation was cancelled

}  // namespace setup
