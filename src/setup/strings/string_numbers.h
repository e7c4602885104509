#pragma once
// The numbers of the interface strings that the code looks up, by name.
// LocalizedString() and LocalizedFormat() take these; the authoring tool's
// built-in English texts are filed under the same names. A "%s" or "%d" in
// a comment is the value the text is formatted with.

namespace setup {

inline constexpr int kStringSetupTitle = 0;                   // the installation's title, caption of plain messages
inline constexpr int kStringGreeting = 1;                     // the greeting page's text
inline constexpr int kStringEarlierInstallationCaption = 2;   // caption of the earlier-installation notice
inline constexpr int kStringAlreadyInstalled = 3;             // the notice without a version comparison
inline constexpr int kStringSameVersionInstalled = 4;         // the notice for the same version
inline constexpr int kStringOlderVersionInstalled = 5;        // the notice for an upgrade
inline constexpr int kStringNewerVersionInstalled = 6;        // the notice for a downgrade
inline constexpr int kStringInstallOverQuestion = 7;          // the question that ends the notice
inline constexpr int kStringPreparingStatus = 8;              // status before the archive is read
inline constexpr int kStringMustUninstall = 9;                // the must-uninstall page, and the message without an uninstall command
inline constexpr int kStringUninstallFailed = 10;             // %s: what the uninstallation could not remove
inline constexpr int kStringFolderPageText = 11;              // the folder page's text, title of the folder picker
inline constexpr int kStringRequiredProductMissing = 12;      // %s: the product needed first
inline constexpr int kStringCorruptInstaller = 13;            // %d: the check code
inline constexpr int kStringInvalidFolder = 14;               // joined with a folder that is no valid path
inline constexpr int kStringUninstallCompleteCaption = 15;    // caption of kStringUninstallComplete
inline constexpr int kStringDriveMissing = 16;                // %c: the drive letter of a folder on no drive
inline constexpr int kStringProgramsFolderRefused = 18;       // %s: the programs folder itself
inline constexpr int kStringLowDiskSpace = 19;                // %s %c %s: required space, drive letter, free space; asked
inline constexpr int kStringQuestionCaption = 20;             // caption of questions
inline constexpr int kStringErrorCaption = 21;                // caption of error messages
inline constexpr int kStringFolderExists = 22;                // %s: the chosen folder, which exists
inline constexpr int kStringFolderWillBeCreated = 23;         // %s: the chosen folder, which will be created
inline constexpr int kStringFolderPageTitle = 24;             // folder page header title, caption of the folder question
inline constexpr int kStringCannotCreateFolder = 25;          // joined with the folder and the reason
inline constexpr int kStringCancelQuestion = 28;               // asked when the progress dialog's cancel is pressed
inline constexpr int kStringUnpackingStatus = 29;             // status while the files are unpacked
inline constexpr int kStringUninstallTitle = 30;              // the uninstaller's title
inline constexpr int kStringFileNotInstalled = 31;            // joined with the path and the reason
inline constexpr int kStringUninstallComplete = 34;           // the uninstallation's success message
inline constexpr int kStringRemoveSharedFileCaption = 35;     // caption of the shared-file question
inline constexpr int kStringFinishingStatus = 36;             // status while the installation finishes
inline constexpr int kStringRestartQuestion = 37;             // restart after the installation
inline constexpr int kStringProgressHeading = 39;              // the progress dialog's heading
inline constexpr int kStringOutcomeQuestion = 40;             // %s: the log, offered after a failure
inline constexpr int kStringOutcomeQuestionCaption = 41;      // its caption
inline constexpr int kStringCompleted = 42;                   // the installation's success message
inline constexpr int kStringCompletedCaption = 43;            // its caption, also the log's outcome line
inline constexpr int kStringLicenseTitle = 44;                // license and readme header title
inline constexpr int kStringAgreeButton = 45;                 // button label
inline constexpr int kStringDeclineButton = 46;               // button label
inline constexpr int kStringDocumentPageText = 47;            // the license and readme pages' text
inline constexpr int kStringNextButton = 48;                  // button label
inline constexpr int kStringCancelButton = 49;                // button label
inline constexpr int kStringBrowseButton = 52;                // button label
inline constexpr int kStringUninstallConfirmation = 53;       // the question before an uninstallation
inline constexpr int kStringInstallingStatus = 54;            // status while the files are installed
inline constexpr int kStringUninstallCaption = 55;            // caption of the uninstaller's messages
inline constexpr int kStringRemoveFontQuestion = 56;          // %s: the font
inline constexpr int kStringRemoveFontCaption = 57;           // caption of the font question
inline constexpr int kStringCannotDeleteFile = 58;            // joined with the path
inline constexpr int kStringRemoveSharedFileQuestion = 59;    // %s: the shared file
inline constexpr int kStringUnsupportedSystem = 61;           // %s: the system's name
inline constexpr int kStringCheckingStatus = 62;              // status while the installation data is checked
inline constexpr int kStringExtraLicense = 63;                // a further license text after the project's documents
inline constexpr int kStringExtraReadme = 64;                 // a further readme text after the project's documents
inline constexpr int kStringWizardCaption = 65;               // caption of the wizard pages
inline constexpr int kStringNetworkFolderRefused = 66;        // a network folder while they are refused
inline constexpr int kStringRemovingFontsStatus = 67;         // uninstallation status: fonts
inline constexpr int kStringReleasingSharedFilesStatus = 68;  // uninstallation status: shared files
inline constexpr int kStringRemovingRegistryStatus = 69;      // uninstallation status: registry entries
inline constexpr int kStringRemovingAssociationsStatus = 70;  // uninstallation status: file associations
inline constexpr int kStringUninstallProgressHeading = 71;    // progress heading of the uninstallation
inline constexpr int kStringOldVersionQuestion = 72;          // a version older than UpgradeVersion1
inline constexpr int kStringFolderNotWritable = 73;           // %s: a folder that takes no file
inline constexpr int kStringUninstallRestartQuestion = 74;    // restart after the uninstallation
inline constexpr int kStringPasswordCaption = 75;             // caption of the password page
inline constexpr int kStringPasswordText = 76;                // the password page's text
inline constexpr int kStringAdminRequired = 77;               // administrator rights required
inline constexpr int kStringAdminRecommended = 78;            // administrator rights recommended: continue?
inline constexpr int kStringYesButton = 79;                   // button label
inline constexpr int kStringNoButton = 80;                    // button label
inline constexpr int kStringWrongBitness = 81;                // %d: the bitness the product needs
inline constexpr int kStringLanguagePageText = 82;            // the language page's text
inline constexpr int kStringOpenFinishFile1Box = 83;          // summary check box: open the document
inline constexpr int kStringLaunchFinishAppBox = 84;          // summary check box: start the program
inline constexpr int kStringShowLogBox = 85;                  // summary check box: show the installation log
inline constexpr int kStringOpenFinishFile2Box = 87;          // summary check box: open the second document
inline constexpr int kStringStartMenuPageText = 88;           // the start menu page's text
inline constexpr int kStringStartMenuTitle = 89;              // start menu page header title
inline constexpr int kStringInstallButton = 90;               // button label
inline constexpr int kStringAnotherInstallationRunning = 91;  // a second installation at the same time
inline constexpr int kStringRequiredSpaceLabel = 92;          // folder page: before the required space
inline constexpr int kStringFreeSpaceLabel = 93;              // folder page: before the free space
inline constexpr int kStringLanguageTitle = 94;               // language page header title
inline constexpr int kStringFinishButton = 95;                // button label of the summary page
inline constexpr int kStringDriveRefused = 96;                // %c: a read-only drive, or a removable one while refused
inline constexpr int kStringCreatingRestorePoint = 97;        // status while the restore point is created
inline constexpr int kStringInstallCancelled = 98;            // the installation was cancelled
inline constexpr int kStringProgramRunning = 99;              // %s: the program that must be closed
inline constexpr int kStringRetryButton = 100;                // button label
inline constexpr int kStringUninstallCancelled = 101;         // the uninstallation was cancelled
inline constexpr int kStringWrongPassword = 102;              // the password does not match
inline constexpr int kStringGreetingTitle = 103;              // greeting header title in the header layout
inline constexpr int kStringUninstallButton = 104;            // button label of the must-uninstall page

}  // namespace setup
