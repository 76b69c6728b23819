#pragma once
// How much text an editor window may hold. The text control sets no limit of its own
// that a user would meet; what bounds the text is memory. Qt's text document takes
// some hundred bytes for every line (its block, the pieces of text, the undo record,
// and a layout once the line has been shown or the whole text laid out again) and two
// to four for every character (UTF-16, and the copy made while its buffer grows). A
// text may grow by half of the memory the program can still take when it starts to
// grow (a file opened, a paste, a command's output), so that the other half stays for
// the engine and the rest of the program; beyond that the text is refused, as a
// text too large for the control, and nothing is lost.
//
// Besides memory: positions in Qt's text are int, so a text holds at most a gibibyte of
// document bytes; and a line at most a million characters (MemoControl.h says why).

#include <cstddef>
#include <cstdint>
#include <limits>

struct TextCapacity {
  static constexpr std::size_t kMostBytes = std::size_t{1} << 30;  // document bytes
  static constexpr std::size_t kMostLines = kMostBytes / 2;        // a line break counts two bytes
  static constexpr std::size_t kLongestLine = 1'000'000;           // characters
  // What the control takes for each line and each document byte, with room to spare:
  // a truth table of a million lines and 46 MB took 300 MB (two bytes a character,
  // some 200 a line for its block, pieces and undo record), and 320 bytes a line more
  // once the whole text had been laid out (word wrap turned on).
  static constexpr std::uint64_t kLineCost = 512;
  static constexpr std::uint64_t kByteCost = 4;

  std::size_t bytes = kMostBytes;  // document bytes: a line break counts two
  std::size_t lines = kMostLines;
  std::uint64_t memory = std::numeric_limits<std::uint64_t>::max();  // bytes of Cost

  // The memory the control takes for a text of so many document bytes and lines.
  static std::uint64_t Cost(std::size_t bytes, std::size_t lines) {
    return kByteCost * bytes + kLineCost * lines;
  }
  // Whether a text of so many document bytes and lines fits.
  bool Holds(std::size_t textBytes, std::size_t textLines) const {
    return textBytes <= bytes && textLines <= lines && Cost(textBytes, textLines) <= memory;
  }
};

// The capacity of a text that holds bytes and lines now, when the program can still
// take room bytes of memory: the text may grow by half of the room.
TextCapacity CapacityWithRoom(std::size_t bytes, std::size_t lines, std::uint64_t room);

// The memory the program can still take, as the engine's budget reads it from the
// machine: what the system can give without swapping, within the process's limits;
// or the engine's budget where the environment sets one (LUMENARK_MEMORY_LIMIT).
std::uint64_t MemoryRoom();
