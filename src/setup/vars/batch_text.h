#pragma once
// The text of a generated batch file and the command line that runs it.
#include <string>
#include <string_view>

namespace setup {

inline constexpr char kBatchFileName[] = "SETUPBAT.BAT";
inline constexpr char kBatchLogName[] = "ov_batch.log";
inline constexpr int kBatchEnvironmentBytes = 10000;

// Empty, or only blanks, tabs, carriage returns and line feeds.
bool IsBlankBatchText(std::string_view text);

// The batch text with a command-line appendix: "\r\n" goes between them
// unless the text already ends with a carriage return or a line feed. An
// empty appendix leaves the text as it is.
std::string WithBatchAppendix(std::string_view text, std::string_view appendix);

// "pause" in any letter case, with blanks around it and one leading "@".
bool IsPauseLine(std::string_view line);
// Every line except the pause lines, each followed by "\r\n". Lines end at
// CR LF, a lone CR or a lone LF.
std::string WithoutPauseLines(std::string_view text);
// Every lone CR and lone LF becomes CR LF; the text ends with CR LF.
std::string WithCrLfLineEnds(std::string_view text);

// "@echo off", the SET lines, then the batch text (without its pause lines
// when nobody could answer them), all with CR LF line ends.
std::string BuildBatchFileText(std::string_view setLines, std::string_view batchText, bool dropPauseLines);

// The command interpreter: the COMSPEC value, else "cmd.exe" in the system
// folder (never a bare name, which would be searched in the installer's own
// folder first).
std::string BatchInterpreter(std::string_view comspec, std::string_view systemFolder);

// "utrri.bat": the earlier installation's uninstall command, this run's own
// command line (so the installation starts again once the uninstaller is
// done), and the batch file's deletion of itself.
std::string MustUninstallBatchText(std::string_view uninstallCommand, std::string_view ownCommandLine,
                                   std::string_view batchPath);

// A path as one argument of the interpreter: in double quotes when it holds
// a blank or one of the interpreter's special characters.
std::string InterpreterArgument(std::string_view path);

// "\"<interpreter>\" /e:10000 /c <batch>", with " > <log>" when logPath is
// not empty. The paths are the short forms; one that still needs quotes is
// quoted, and then the whole command after /c is quoted once more, as the
// interpreter strips the outermost pair.
std::string BatchCommandLine(std::string_view interpreter, std::string_view batchPath,
                             std::string_view logPath);

}  // namespace setup
