// What spiconv prints: one line per file, a summary, and on a console a
// progress line. Texts are UTF-8.
#pragma once

#include <cstddef>
#include <string>

enum class Outcome { Converted, Failed, Skipped };

// The counts of one run and its exit code: 0 only when nothing failed.
struct Tally {
  size_t converted = 0;
  size_t failed = 0;
  size_t skipped = 0;

  void Add(Outcome outcome);
  std::string SummaryLine() const;  // "12 converted, 1 failed, 3 skipped"
  int ExitCode() const { return failed ? 1 : 0; }
};

// The file's name padded to the width of the first column (24 characters).
std::string Column(const std::string& name);

// What the plug-in said of a picture it decoded, or tried to:
// "   640 x 480    24 bit (decoded 24 bit)  info 0  picture 0".
std::string PictureDetails(long width, long height, int depth, int decodedDepth, int infoResult, int pictureResult);

// The progress line "[done/total] name", cut to fit `columns` console cells
// less one (a full line would wrap on some consoles; East Asian wide
// characters take two cells) and padded with spaces to that width, so that
// it covers the line before it.
std::string ProgressText(size_t done, size_t total, const std::string& name, size_t columns);
