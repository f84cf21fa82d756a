// lyricade-library: search, list and maintain a Lyricade library from the
// command line.
#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <memory>
#include <iostream>

#include "common/standard_options.h"
#include "library_tool.h"

int main(int argc, char** argv) {
  const lyricade::ProgramDescription description{
      "lyricade-library", "lyricade-library: imports into, searches, lists and maintains a Lyricade "
                          "song library from the command line.",
      "Usage: lyricade-library [--data-dir DIR] COMMAND [OPTIONS] [--] ARGUMENTS\n"
      "  import [--format 0|1|2|3] [--ignore-tags] PATH...\n"
      "      adds every song file of each folder (and its folders) and each named\n"
      "      song file; hidden files are skipped. Importing a folder twice adds its\n"
      "      songs twice. Ctrl-C stops it and keeps the songs imported so far.\n"
      "      --format: how a file name without a tag is read\n"
      "        0  Album - Title - Artist   \"SC8101 - Waterloo - Abba.mp3\" (the default)\n"
      "        1  Title - Artist - Album   \"Waterloo - Abba - SC8101.mp3\"\n"
      "        2  Artist - Title - Album   \"Abba - Waterloo - SC8101.mp3\"\n"
      "        3  Album - Artist - Title   \"SC8101 - Abba - Waterloo.mp3\"\n"
      "      (the third part may be left out)\n"
      "  search [--on all|title|artist|id|year|comment|location] [--any] WORDS...\n"
      "  list [--sort title|artist|id|year|comment|location] [--desc]\n"
      "  remove-bad [--dry-run] [--force]\n"
      "      removes the songs whose file is gone, printing each; when more than\n"
      "      half of them are gone (an unmounted drive) it removes nothing unless\n"
      "      --force; --dry-run only lists them\n"
      "  compact\n"
      "      compacts the library in place, keeping collections~.mdb as the copy\n"
      "      from before; works while Lyricade runs\n"
      "  backup DEST\n"
      "      a consistent copy of the library (collections.mdb) to the file DEST, or\n"
      "      into the folder DEST, also while Lyricade writes to it\n"
      "  songbook [--pdf FILE] [--html FOLDER] [--header TEXT] [--paper a4|letter]\n"
      "      the singers' songbook: each song once, by artist and by title, as a PDF\n"
      "      booklet (A4 unless --paper letter) and/or FOLDER/index.html, a page\n"
      "      with a search box that works from a file; --header names it\n"
      "  check [--listed] [PATH...]\n"
      "      opens every song (or each PATH) as Play would, a few seconds of its\n"
      "      audio decoded, and prints each one that will not play with the reason;\n"
      "      a check of the library renews its Needs Attention list (--listed:\n"
      "      only the songs on it, after repairing files)\n"
      "  folders add [--format 0|1|2|3] [--ignore-tags] DIR\n"
      "  folders remove DIR\n"
      "  folders list\n"
      "      the watched folders the library comes from, each with the layout its\n"
      "      file names are read in (as import's --format, 0 unless given)\n"
      "  refresh [--no-check]\n"
      "      adds the watched folders' new songs, follows moved ones (their History\n"
      "      with them) and leaves the rows of vanished files as missing; an\n"
      "      unplugged folder is left as it was. New songs are then checked and\n"
      "      those that will not play are put on the Needs Attention list\n"
      "remove-bad and compact do not ask before they change the library.\n"
      "\n"
      "The data folder is $LYRICADE_DATA_DIR when set, else $XDG_DATA_HOME/lyricade/\n"
      "or ~/.local/share/lyricade/; import makes it (without demo songs) when missing.\n"
      "Copy a data folder only while Lyricade and this tool are closed: the library's\n"
      "collections.mdb-wal and -shm files belong to it while it is open. Or use\n"
      "backup.\n"
      "\n"
      "Exit status: 0 done; 1 the library could not be opened, was busy, or the work\n"
      "failed or was interrupted; 2 wrong arguments (nothing was changed).\n",
      "      --data-dir DIR  the host's data folder holding the library (also\n"
      "                      --data-dir=DIR, before or after the command)\n"};
  if (const auto answered = lyricade::AnswerStandardOptions(
          std::vector<std::string>(argv + 1, argv + argc), description, std::cout))
    return *answered;
  // The songbook's PDF needs fonts, which need a GUI application; with no
  // display it draws offscreen.
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::unique_ptr<QCoreApplication> app;
  if (std::find(args.begin(), args.end(), "songbook") != args.end()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  return lyricade::RunLibraryTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                  std::cerr);
}
