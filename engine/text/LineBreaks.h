#pragma once
// Documents keep line breaks as CR LF. Text taken in from outside (a file, standard
// input) has every lone CR and every lone LF turned into CR LF; a CR LF pair stays one.

#include <string>
#include <string_view>

namespace lumenark {

std::string NormalizeLineBreaks(std::string_view text);

// The same for a text that arrives in pieces: a CR at the end of one piece and an LF at
// the start of the next are one line break.
class LineBreakNormalizer {
 public:
  // Appends the normalised piece to out (any string type with push_back and append).
  template <typename Out>
  void Feed(std::string_view piece, Out& out) {
    std::size_t i = 0;
    if (pendingCr_ && !piece.empty() && piece[0] == '\n') i = 1;
    pendingCr_ = false;
    for (std::size_t start = i; i <= piece.size(); ++i) {
      if (i < piece.size() && piece[i] != '\r' && piece[i] != '\n') continue;
      out.append(piece.data() + start, i - start);
      if (i == piece.size()) break;
      out.append("\r\n", 2);
      if (piece[i] == '\r') {
        if (i + 1 < piece.size() && piece[i + 1] == '\n') ++i;
        else if (i + 1 == piece.size()) pendingCr_ = true;
      }
      start = i + 1;
    }
  }

 private:
  bool pendingCr_ = false;  // the last piece ended with a CR already written as CR LF
};

// The reverse for output that wants Unix line ends: every CR LF becomes LF.
std::string CrLfToLf(std::string_view text);

}  // namespace lumenark
