#include "builtin_strings.h"

#include <algorithm>

#include "setup/strings/string_numbers.h"

namespace pack {
namespace {

// Texts by number. Where the runtime formats a text with values, the
// conversions say which; every other text is shown or joined as it is.
constexpr BuiltinString kStrings[] = {
    {setup::kStringSetupTitle, "<product> Setup", ""},  // title of the background window and of the installation
    {1,
     "Welcome to the installation of <product>.\r\n\r\n"
     "It is recommended that you close all other programs before you continue.\r\n\r\n"
     "Click Next to continue, or Cancel to leave the installation.",
     ""},  // greeting
    // caption of the earlier-installation notice
    {setup::kStringEarlierInstallationCaption, "Earlier Installation Found", ""},
    {setup::kStringAlreadyInstalled, "<product> is already installed in this folder:", ""},
    {setup::kStringSameVersionInstalled, "This version of <product> is already installed in this folder:", ""},
    {setup::kStringOlderVersionInstalled, "An older version of <product> is installed in this folder:", ""},
    {setup::kStringNewerVersionInstalled, "A newer version of <product> is installed in this folder:", ""},
    {setup::kStringInstallOverQuestion, "Do you want to install <product> over it?", ""},
    {setup::kStringPreparingStatus, "Preparing the installation...", ""},  // status text before the archive is read
    {9,
     "An earlier installation of <product> must be removed before this version can be installed.\r\n\r\n"
     "Remove it first, then run this installation again.",
     ""},  // must-uninstall page, and the message when no uninstall command is found
    // uninstall failure
    {setup::kStringUninstallFailed, "Some parts of the product could not be removed:\r\n\r\n%s", "s"},
    {11, "Choose the folder in which to install <product>.", ""},  // folder page and folder picker
    {setup::kStringRequiredProductMissing,
     "<product> needs %s, which is not installed on this computer. Install it first.", "s"},
    {setup::kStringCorruptInstaller,
     "This installation program is corrupt.  This is usually caused by a faulty download, but it can also "
     "be caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
     "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem persists, "
     "check your system for viruses.\r\n\r\nError code: %d",
     "d"},
    {14, "This is not a valid folder name:", ""},  // joined with the folder
    // caption of the uninstall success message
    {setup::kStringUninstallCompleteCaption, "Uninstallation Complete", ""},
    {16, "Drive %c: is not available. Please choose another folder.", "c"},
    {18, "The folder %s cannot hold the installation itself. Please choose a folder inside it.", "s"},
    {19,
     "The installation needs %s of disk space, but drive %c: has only %s free.\r\n\r\n"
     "Do you want to continue anyway?",
     "scs"},
    {setup::kStringQuestionCaption, "<product> Setup", ""},  // caption of questions
    {setup::kStringErrorCaption, "Error", ""},               // caption of error messages
    {22, "<product> will be installed in the existing folder %s.", "s"},
    {23, "The folder %s does not exist yet and will be created.", "s"},
    {24, "Installation Folder", ""},  // folder page header title, caption of the folder question
    {setup::kStringCannotCreateFolder, "Unable to create the folder", ""},  // joined with the folder and the reason
    {setup::kStringCancelQuestion, "Do you want to cancel the installation of <product>?", ""},
    {setup::kStringUnpackingStatus, "Unpacking files...", ""},
    {setup::kStringUninstallTitle, "<product> Uninstall", ""},
    {setup::kStringFileNotInstalled, "Unable to write the file", ""},  // joined with the path and the reason
    {33, "Uninstall <product>", ""},                                   // caption of the uninstaller shortcut
    {setup::kStringUninstallComplete, "<product> has been removed from your computer.", ""},
    {setup::kStringRemoveSharedFileCaption, "Remove Shared File", ""},
    {setup::kStringFinishingStatus, "Finishing the installation...", ""},
    {setup::kStringRestartQuestion,
     "The computer must be restarted to complete the installation of <product>.\r\n\r\nRestart now?", ""},
    {38, "%s", "s"},                                   // caption of a shortcut that has none: the target's file name
    {setup::kStringProgressHeading, "Installing <product>. Please wait...", ""},
    {setup::kStringOutcomeQuestion,
     "The installation of <product> did not complete.\r\n\r\nThe installation log is in\r\n%s\r\n\r\n"
     "Do you want to see it now?",
     "s"},
    {setup::kStringOutcomeQuestionCaption, "Installation Incomplete", ""},
    {setup::kStringCompleted, "<product> has been installed successfully.", ""},
    {setup::kStringCompletedCaption, "Installation Complete", ""},
    {44, "License Agreement", ""},
    {45, "I &Agree", ""},
    {46, "I &Decline", ""},
    {47, "Please read the following text carefully.", ""},
    {48, "&Next >", ""},
    {setup::kStringCancelButton, "Cancel", ""},
    {52, "&Browse...", ""},
    {setup::kStringUninstallConfirmation,
     "Do you want to remove <product> and all of its components from your computer?", ""},
    {setup::kStringInstallingStatus, "Installing <product>", ""},  // progress header title and status text
    {setup::kStringUninstallCaption, "<product> Uninstall", ""},   // caption of the uninstall run
    {setup::kStringRemoveFontQuestion, "The font %s is no longer needed by <product>. Do you want to remove it?", "s"},
    {setup::kStringRemoveFontCaption, "Remove Font", ""},
    {setup::kStringCannotDeleteFile, "Unable to delete the file", ""},  // joined with the path
    {setup::kStringRemoveSharedFileQuestion,
     "The shared file\r\n%s\r\nis no longer used by any program. Do you want to remove it?", "s"},
    {setup::kStringUnsupportedSystem, "<product> cannot be installed on %s.", "s"},
    {setup::kStringCheckingStatus, "Checking the installation data...", ""},
    {63, "", ""},  // a further license text after the project's documents; empty shows no page
    {64, "", ""},  // a further readme text after the project's documents; empty shows no page
    {setup::kStringWizardCaption, "<product> Setup", ""},  // caption of the wizard pages
    {66, "The installation folder cannot be on a network drive. Please choose a local folder.", ""},
    {setup::kStringRemovingFontsStatus, "Removing fonts...", ""},
    {setup::kStringReleasingSharedFilesStatus, "Releasing shared files...", ""},
    {setup::kStringRemovingRegistryStatus, "Removing registry entries...", ""},
    {setup::kStringRemovingAssociationsStatus, "Removing file associations...", ""},
    // progress heading of the uninstall run
    {setup::kStringUninstallProgressHeading, "Removing <product>. Please wait...", ""},
    {setup::kStringOldVersionQuestion,
     "The installed version of <product> is older than the versions this installation can upgrade.\r\n\r\n"
     "Do you want to continue anyway?",
     ""},
    {73, "Unable to write to the folder %s. Please choose another folder.", "s"},
    {setup::kStringUninstallRestartQuestion,
     "The computer must be restarted to complete the removal of <product>.\r\n\r\nRestart now?", ""},
    {75, "Password", ""},
    {76, "This installation is protected by a password. Please enter the password.", ""},
    {setup::kStringAdminRequired,
     "Administrator rights are required to install <product>. Please log on as an administrator and run "
     "this installation again.",
     ""},
    {setup::kStringAdminRecommended,
     "You do not have administrator rights. The installation of <product> may not complete.\r\n\r\n"
     "Click OK to continue anyway, or Cancel to leave the installation.",
     ""},
    {setup::kStringYesButton, "&Yes", ""},
    {setup::kStringNoButton, "&No", ""},
    {setup::kStringWrongBitness, "<product> can only be installed on a %d-bit version of Windows.", "d"},
    {82, "Please choose the language of the installation:", ""},
    {83, "&Open the documentation", ""},
    {84, "&Start <product>", ""},
    {85, "Show the installation &log", ""},
    {86, "Installation Log", ""},  // caption of the installation log shortcut
    {87, "Open the &release notes", ""},
    {88, "Choose the Start Menu folder for the shortcuts of <product>.", ""},
    {89, "Start Menu Folder", ""},
    {90, "&Install", ""},
    {setup::kStringAnotherInstallationRunning,
     "Another installation is running. Please wait until it has finished and try again.", ""},
    {92, "Space required:", ""},
    {93, "Space available:", ""},
    {94, "Language", ""},
    {95, "&Finish", ""},
    {96, "Drive %c: cannot hold the installation. Please choose another drive.", "c"},
    {setup::kStringCreatingRestorePoint, "Creating a system restore point...", ""},
    {setup::kStringInstallCancelled, "The installation of <product> has been cancelled.", ""},
    {setup::kStringProgramRunning, "%s is running. Please close it, then click Retry.", "s"},
    {setup::kStringRetryButton, "&Retry", ""},
    {setup::kStringUninstallCancelled, "The removal of <product> has been cancelled.", ""},
    {102, "The password is not correct.", ""},
    {103, "Welcome", ""},  // greeting header title
    {104, "&Uninstall", ""},
};

}  // namespace

std::span<const BuiltinString> BuiltinStrings() { return kStrings; }

int BuiltinStringCount() { return kStrings[std::size(kStrings) - 1].number + 1; }

const BuiltinString* FindBuiltinString(int number) {
  auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), number,
                             [](const BuiltinString& s, int n) { return s.number < n; });
  return it != std::end(kStrings) && it->number == number ? &*it : nullptr;
}

}  // namespace pack
