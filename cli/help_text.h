#pragma once
#include <string_view>

namespace nobrelt::cli {

inline constexpr std::string_view kUsage =
    "Usage: nobrelt-cli list SOURCE [--json]\n"
    "       nobrelt-cli extract SOURCE... [-o DIR] [-g N]... [--bmp] [-q]\n"
    "       nobrelt-cli --help | --version\n";

inline constexpr std::string_view kHelp =
    "Takes the icon groups out of Windows modules and icon files.\n"
    "\n"
    "SOURCE is a module read as data and never run (kind exe, dll or icl: PE32, PE32+\n"
    "or 16-bit NE) or an icon file (kind ico). The kind is the last three characters of\n"
    "the name, in any letter case; no dot is needed. An icon file is one group.\n"
    "\n"
    "Commands:\n"
    "  list SOURCE          One line per icon group: number, name (#7 for the integer\n"
    "                       identifier 7, else the text) and images, tab-separated.\n"
    "    --json             Print one JSON array instead: objects with group, name,\n"
    "                       and images (width, height, bitDepth, png, bytes).\n"
    "  extract SOURCE...    Write group n as DIR/n.ico, every group or those named\n"
    "                       with -g. With several SOURCEs, each one's files go to\n"
    "                       DIR/<file name>/.\n"
    "    -o, --output-dir DIR  Where to write (default: the current directory;\n"
    "                       created if missing).\n"
    "    -g, --group N      Only group N (1, 2, ...); may be given more than once.\n"
    "    --bmp              Write each group's first image as DIR/n.bmp instead.\n"
    "    -q, --quiet        Do not print the summary line.\n"
    "  -h, --help           Show this help.\n"
    "  -V, --version        Show the version.\n"
    "\n"
    "Group numbers: group n is the module's n-th icon group in the order Windows\n"
    "enumerates them (groups named by text first, in stored order, then integer\n"
    "identifiers in ascending order); it is the icon that Windows shell locations\n"
    "such as \"file.dll,N\" call index n - 1.\n"
    "\n"
    "Output files are written whole or not at all, replacing older files of the\n"
    "same name; a file that another process holds locked is not replaced.\n"
    "\n"
    "Exit status: 0 success, 1 a failure (named on stderr), 2 a usage error.\n";

}  // namespace nobrelt::cli
