#pragma once
// The two operations behind the main window's Extract and Delete buttons.

namespace nobrelt::app {

// Saves every icon group of the file named in the path box as 1.ico, 2.ico, … in the run
// directory, and remembers how many in ExtractedCount.
void ExtractAll();

// After the user confirms, removes 1.ico … n.ico of the last Extract from the run directory.
void DeleteExtracted();

}  // namespace nobrelt::app
