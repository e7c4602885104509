#pragma once
// The bits of the settings stream's ProductFlags (kFlag..., 64 bits) and
// ProductFlags2 (kFlag2..., 32 bits), by bit number: SettingsStream::Flag()
// and Flag2() take these. Every bit the runtime tests or sets and every bit
// the authoring tool names as an option has its one name here.

namespace setup {

// ProductFlags.
inline constexpr int kFlagMustUninstallFirst = 0;               // an earlier installation is removed first
inline constexpr int kFlagUninstallerStartMenuShortcut = 1;     // a Start Menu shortcut to the uninstaller
inline constexpr int kFlagHasUninstaller = 2;                   // an uninstaller is written; the stream holds its icon
inline constexpr int kFlagAskBeforeRemovingFonts = 4;           // the uninstaller asks before removing a font
inline constexpr int kFlagPackedChunks = 5;                     // archive chunks are packed blocks
inline constexpr int kFlagWriteInstallLog = 6;                  // "Install.LOG" is written after a success too
inline constexpr int kFlagFolderPage = 7;                       // the wizard shows the folder page
inline constexpr int kFlagSingleInstance = 8;                   // one installation at a time on the computer
inline constexpr int kFlagSilentUninstall = 9;                  // the uninstaller runs in automatic mode
inline constexpr int kFlagRemoveInstallFolder = 10;             // the uninstaller removes the installation folder
inline constexpr int kFlagReplaceNewFilesAtRestart = 11;        // a locked file new to the computer may be put in place at restart
inline constexpr int kFlagAddToPath = 12;                       // the installation folder is added to PATH
inline constexpr int kFlagRestartRequired = 14;                 // the installation ends with a restart; set when a file waits for one
inline constexpr int kFlagUninstallerBackground = 15;           // the uninstaller draws the background bitmap; its settings are recorded
inline constexpr int kFlagMasterProduct = 16;                   // another product must be installed; the stream names it
inline constexpr int kFlagAskBeforeRemovingSharedFiles = 17;    // the uninstaller asks before removing an unused shared file
inline constexpr int kFlagVerifyWrittenFiles = 18;              // each written file is read back and compared
inline constexpr int kFlagClearAttributesOnRetry = 19;          // a failed write clears the target's attributes and tries again
inline constexpr int kFlagVerboseLog = 20;                      // the log holds a line for every file transferred
inline constexpr int kFlagNoCancelDuringInstall = 21;           // no Cancel while files are installed
inline constexpr int kFlagNoCompletionMessage = 22;             // no message at the end of the installation
inline constexpr int kFlagHidePreInstallBatch = 23;             // the batch windows, hidden: pre-install
inline constexpr int kFlagHidePostInstallBatch = 24;            //   post-install
inline constexpr int kFlagHideInstallExitBatch = 25;            //   install exit
inline constexpr int kFlagHideUninstallBatch1 = 26;             //   first uninstall batch
inline constexpr int kFlagHideUninstallBatch2 = 27;             //   second uninstall batch
inline constexpr int kFlagNoReinstallQuestion = 28;             // no notice about an earlier installation
inline constexpr int kFlagNoBackgroundWindow = 29;              // no background window is created
inline constexpr int kFlagConfirmFolder = 31;                   // the folder page asks to confirm the folder
inline constexpr int kFlagCompareChecksums = 32;                // archive, chunk and image checksums are compared
inline constexpr int kFlagUninstallerDesktopShortcut = 33;      // a desktop shortcut to the uninstaller
inline constexpr int kFlagStartMenuPage = 34;                   // the wizard shows the Start Menu page
inline constexpr int kFlagErrorBoxesInAutomaticMode = 35;       // error boxes are shown in automatic mode too
inline constexpr int kFlagCompareVersions = 36;                 // the earlier-installation notice compares versions
inline constexpr int kFlagRefuseNetworkFolder = 37;             // the installation folder may not be on a network drive
inline constexpr int kFlagUninstallerShortcutInUninstallFolder = 38;  // the uninstaller shortcut lies in its folder
inline constexpr int kFlagMaximizedBackground = 40;             // the background window fills the screen
inline constexpr int kFlagAskBeforeAutomaticRestart = 41;       // an automatic run asks before restarting
inline constexpr int kFlagNoGreeting = 43;                      // no greeting page
inline constexpr int kFlagAskBeforeOldUpgrade = 44;             // ask before upgrading a version older than UpgradeVersion1
inline constexpr int kFlagRestartAfterUninstall = 45;           // the uninstallation ends with a restart
inline constexpr int kFlagHideFileNames = 49;                   // the progress display shows no file names
inline constexpr int kFlagGrantRightsOnInstallFolder = 50;      // every user gets rights on the installation folder
inline constexpr int kFlagCloseProgressAtEnd = 51;              // the progress dialog; the uninstaller pauses it at the end
inline constexpr int kFlagInterfaceFont = 52;                   // the wizard uses the system's interface font
inline constexpr int kFlagRebootMarker = 53;                    // an empty "reboot.dat" in the installation folder
inline constexpr int kFlagKeepInstallLog = 54;                  // the uninstaller leaves "Install.LOG"
inline constexpr int kFlagRefuseRemovableDrive = 55;            // the installation folder may not be on a removable drive
inline constexpr int kFlagNoUninstallOnRemovableDrive = 56;     // no uninstaller on a removable drive
inline constexpr int kFlagOfferLogAtFinish = 57;                // the finish offers to show the installation log
inline constexpr int kFlagBindExecutables = 58;                 // installed programs are bound to the system's libraries
inline constexpr int kFlagInstallLogShortcut = 59;              // a Start Menu shortcut to the installation log
inline constexpr int kFlagHideUpgradeBatch = 60;                // the batch windows, hidden: upgrade
inline constexpr int kFlagHideReinstallBatch = 61;              //   reinstall
inline constexpr int kFlagGrantRightsOnSharedFolder = 62;       // every user gets rights on the shared folder

// ProductFlags2.
inline constexpr int kFlag2ReinstallBatchSameVersionOnly = 0;   // the Reinstall batch runs only over the same version
inline constexpr int kFlag2RestorePoint = 1;                    // a system restore point around the installation
inline constexpr int kFlag2BuildUninstallerImage = 5;           // the uninstaller is the runtime image without the payload
inline constexpr int kFlag2LogPreInstallBatch = 6;              // a batch's output, logged under its name: pre-install
inline constexpr int kFlag2LogPostInstallBatch = 7;             //   post-install
inline constexpr int kFlag2LogUpgradeBatch = 8;                 //   upgrade
inline constexpr int kFlag2LogReinstallBatch = 9;               //   reinstall
inline constexpr int kFlag2ButtonPictures = 10;                 // pictures on the buttons; cleared before system version 6
inline constexpr int kFlag2NoShortcutsOnRemovableDrive = 11;    // no shortcuts for an installation on a removable drive

}  // namespace setup
