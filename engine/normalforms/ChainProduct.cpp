// Multiplying out an inner chain directly (see ChainProduct.h).
//
// What the step-by-step worker does at an inner node N whose chain holds an outer
// element, and what this file follows exactly:
//   1. FindOper takes the chain's first outer element F = P o Q (pre-order, left
//      first) out of the chain: the half of N that held F keeps its shape, with the
//      other half in F's place. That is the rest R; N becomes F i R.
//   2. Distribution makes N = (P i R') o (Q i R), R' a copy of R.
//   3. Both products are converted the same way, and the parent's constant evaluation
//      then joins them: a product that became the constant the outer operator ignores
//      disappears, the other takes N's place.
//   4. A chain without an outer element is a clause: its literals are sorted by letter
//      (stable), each letter but the last of a run becomes a constant, the two halves
//      below the clause's top are sorted again (the constants move to the front of
//      each half), and the constant evaluation removes the constants: the clause keeps
//      the shape of its chain with the constants' places taken out.
// The side tree below shares the rest R between the two products instead of copying it,
// and a chain none of whose clauses can survive is the ignored constant at once, without
// multiplying it out. A clause survives when it holds no letter in both signs, that is
// when some assignment makes all its literals true. The assignments that do so for some
// clause of a part are those of the part read with '&' and '|' exchanged (a literal: its
// models; a chain: those common to its elements; an outer node: those of either
// operand). With a few letters these sets are kept as bit sets on the side nodes, and a
// chain whose set is empty is known to vanish. With more letters a chain that itself
// holds a letter in both signs is known to vanish, and the SAT solver is asked about the
// others: the input's side tree is encoded once (an inner node implies both operands, an
// outer node one of them, read as the sets above), and a chain is asked as the
// assumption of its elements. A chain with few outer nodes left below it is cheaper to
// multiply out than to ask about, so only chains with at least a threshold of them are
// asked, and the threshold rises while the answers keep finding surviving clauses.

#include "normalforms/ChainProduct.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>

#include "formula/BackgroundDisposal.h"
#include "formula/LetterBits.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "normalforms/ModelDiagram.h"
#include "normalforms/ModelSets.h"
#include "runtime/EngineGlobals.h"
#include "runtime/FlatMap.h"
#include "runtime/StackArena.h"
#include "runtime/StackRoom.h"
#include "sat/FormulaSat.h"

namespace lumenark {
namespace product_detail {

enum class Part : std::uint8_t { Literal, Inner, Outer };

// A node of the side tree. An inner node describes its chain: the letters of its
// literal elements by sign, whether an outer element hangs from it, how many elements
// (literals and outer nodes) it has, and whether none of its clauses can survive. A
// literal counts as a chain of itself.
struct ChainNode {
  const ChainNode* left;
  const ChainNode* right;
  const std::uint64_t* models;  // see above; empty without bit sets
  std::uint64_t plain;          // letters that occur without negation
  std::uint64_t negated;        // letters that occur negated
  std::uint32_t elements;
  std::uint32_t outers;         // outer nodes below, at every depth: 2^outers bounds the products
  mutable std::int32_t sat;     // the solver literal of an input node, once encoded; else 0
  ModelDiagram::Set diagram;    // the same sets as models, as a diagram, with many letters
  const std::uint32_t* counts;  // a chain without outer element: its literals by letter
  std::uint32_t skeleton;       // its outer elements and how they hang (Skeletons below)
  char symbol;                  // a literal's letter
  std::uint8_t negation;        // a literal's negated flag
  Part part;
  bool holdsOuter;
  bool barren;                  // no clause of the chain survives
};

// Whether the chain part x leads the search to an outer element.
bool LeadsToOuter(const ChainNode* x) { return x->part == Part::Outer || x->holdsOuter; }

// The bit sets cost a word for every 64 assignments on every side node; past this many
// words for the input's nodes they are not kept.
constexpr std::size_t kMostInputWords = std::size_t{1} << 22;

constexpr int kLetters = 52;


// What decides the products of a chain besides its literals: its outer elements and
// the shape in which they hang, as far as the search for the first outer element and
// the rest after it follow it. That is the chain's tree with the parts that hold no
// outer element left out (a node with one such part is that part). Equal skeletons get
// one number (0 for none), so that a chain's products are known by its skeleton and the
// letters of its literals by sign: two chains with these equal multiply out into the
// same sequence of terms.
class Skeletons {
 public:
  std::uint32_t Element() { return ++count_; }  // an outer element of the input
  std::uint32_t Pair(std::uint32_t left, std::uint32_t right) {
    if (left == 0) return right;
    if (right == 0) return left;
    const std::uint64_t key = std::uint64_t{left} << 32 | right;
    if (const std::uint32_t* known = pairs_.Find(key)) return *known;
    return pairs_.Insert(key, ++count_);
  }

 private:
  struct Same {
    std::uint64_t operator()(std::uint64_t key) const { return key; }
  };
  std::uint32_t count_ = 0;
  FlatMap<std::uint64_t, std::uint32_t, Same> pairs_;
};

// A chain's products as far as the minimisation sees them: its skeleton and its letters.
struct ProductKey {
  std::uint32_t skeleton;
  std::uint64_t plain;
  std::uint64_t negated;
  bool operator==(const ProductKey&) const = default;
};
struct ProductKeyHash {
  std::uint64_t operator()(const ProductKey& k) const {
    return MixHash(k.plain * 0x9E3779B97F4A7C15ULL ^ k.negated) + k.skeleton;
  }
};

class Multiplier {
 public:
  Multiplier(char outer, Host& host)
      : outer_(outer), inner_(outer == '&' ? '|' : '&'), ignored_(outer == '&' ? '1' : '0'), host_(host) {}

  // The side tree of the input, with the bit sets or the diagram that find vanishing
  // products; nullptr, with the outcome, when it is not supported or was not made.
  const ChainNode* Prepare(const FormulaNode* root, ProductOutcome& outcome) {
    std::uint64_t letters = 0;
    std::size_t nodes = 0;
    Survey(root, letters, nodes);
    outcome = ProductOutcome::Stopped;
    if (StopRequested) return nullptr;
    if (__builtin_popcountll(letters) <= ModelSets::kMostLetters) {
      ModelSets& sets = sets_.emplace(letters);
      if (nodes * sets.Words() > kMostInputWords) sets_.reset();
    }
    words_ = sets_ ? sets_->Words() : 0;
    if (words_ == 0) MakeDiagram();
    CountByLetter(letters, nodes);
    bool supported = true;
    const ChainNode* chain = Convert(root, supported);
    outcome = ProductOutcome::Unsupported;
    if (!supported) return nullptr;
    if (chain == nullptr) return Exhausted(), outcome = ProductOutcome::Stopped, nullptr;
    if (chain->part != Part::Inner || !chain->holdsOuter) return nullptr;
    // A diagram that outgrew its limit on the input itself is of no further use: the
    // solver is asked instead.
    if (diagram_ && chain->diagram == ModelDiagram::Unknown) diagram_.reset();
    outcome = ProductOutcome::Done;
    return chain;
  }

  ProductOutcome Run(Slot slot, bool keepTop) {
    ProductOutcome outcome;
    const ChainNode* chain = Prepare(slot, outcome);
    if (chain == nullptr) return outcome;
    if (words_ == 0 && !diagram_ && chain->outers >= askThreshold_) {
      sat_.emplace(host_, FormulaSat::Refusal::EndsSolver);
      if (!Encode(chain)) DropSolver();
      if (StopRequested) return ProductOutcome::Stopped;
    }
    FormulaNode* result = keepTop ? OuterOfTwoProducts(chain) : Materialize(Evaluate(chain));
    if (StopRequested) return ProductOutcome::Stopped;
    DisposeSubtree(slot);
    slot = result;
    return ProductOutcome::Done;
  }

 private:
  struct Mark {
    StackArena<ChainNode>::Mark nodes;
    StackArena<std::uint64_t>::Mark words;
    StackArena<std::uint32_t>::Mark counts;
  };
  Mark Top() const { return Mark{nodes_.Top(), modelWords_.Top(), countWords_.Top()}; }
  void Release(Mark mark) {
    nodes_.Release(mark.nodes);
    modelWords_.Release(mark.words);
    countWords_.Release(mark.counts);
  }

  // The letters of the subtree and its number of nodes.
  static void Survey(const FormulaNode* node, std::uint64_t& letters, std::size_t& nodes) {
    StackLevel level;
    if (!level.Enter()) return;
    ++nodes;
    if (IsLiteral(node)) {
      letters |= LetterBit(node->symbol);
      return;
    }
    Survey(node->left, letters, nodes);
    Survey(node->right, letters, nodes);
  }

  // A converted part: a tree of result nodes, or (tree empty) a constant.
  struct Piece {
    FormulaNode* tree;
    char constant;
  };

  // Where the side tree or a product cannot get its memory: the command ends as out of
  // memory, or, while the products are only being counted into a compressed sequence,
  // the sequence is given up.
  void Exhausted() {
    if (compressing_) AbandonSequence();
    StopForExhaustedMemory();
  }

  std::uint32_t SkeletonOf(const ChainNode* left, const ChainNode* right) {
    return skeletons_.Pair(left->skeleton, right->skeleton);
  }

  static void Dispose(Piece piece) {
    if (piece.tree != nullptr) DisposeSubtree(piece.tree);
  }

  // ---- The side tree -----------------------------------------------------------------

  ChainNode* NewInner(const ChainNode* left, const ChainNode* right) {
    ChainNode* node = nodes_.New(1);
    if (node == nullptr) return nullptr;
    *node = ChainNode{left,
                      right,
                      nullptr,
                      left->plain | right->plain,
                      left->negated | right->negated,
                      left->elements + right->elements,
                      left->outers + right->outers,
                      0,
                      ModelDiagram::Unknown,
                      nullptr,
                      SkeletonOf(left, right),
                      inner_,
                      0,
                      Part::Inner,
                      LeadsToOuter(left) || LeadsToOuter(right),
                      false};
    node->barren = (node->plain & node->negated) != 0;
    if (words_ != 0) {
      std::uint64_t* models = modelWords_.New(words_);
      if (models == nullptr) return nullptr;
      node->barren = sets_->Intersect(left->models, right->models, models) || node->barren;
      node->models = models;
    } else if (diagram_) {
      node->diagram = diagram_->Intersect(left->diagram, right->diagram);
      node->barren = node->barren || node->diagram == ModelDiagram::None;
    }
    if (countLetters_ != 0 && !node->holdsOuter && !node->barren) {
      std::uint32_t* counts = countWords_.New(countLetters_);
      if (counts == nullptr) return nullptr;
      for (std::size_t i = 0; i < countLetters_; ++i) counts[i] = left->counts[i] + right->counts[i];
      node->counts = counts;
    }
    return node;
  }

  // The side tree of an input subtree; nullptr when memory ran out. A subtree outside
  // literal form (a constant, another operator, a negated operator) is not supported.
  const ChainNode* Convert(const FormulaNode* node, bool& supported) {
    StackLevel level;
    if (!level.Enter()) return nullptr;
    if (IsLiteral(node)) {
      const std::uint64_t bit = LetterBit(node->symbol);
      if (bit == 0) {
        supported = false;
        return nullptr;
      }
      ChainNode* literal = nodes_.New(1);
      if (literal == nullptr) return nullptr;
      const int letter = FormulaSat::LetterVariable(node->symbol);
      *literal = ChainNode{nullptr, nullptr, nullptr, node->negated ? 0 : bit, node->negated ? bit : 0, 1, 0,
                           node->negated ? -letter : letter, ModelDiagram::Unknown, nullptr, 0, node->symbol,
                           node->negated, Part::Literal, false, false};
      if (countLetters_ != 0) literal->counts = &unitCounts_[LetterIndex(bit) * countLetters_];
      if (words_ != 0) literal->models = sets_->Literal(node->symbol, node->negated != 0);
      if (diagram_) literal->diagram = diagram_->Literal(node->symbol, node->negated != 0);
      return literal;
    }
    if (node->negated || (node->symbol != outer_ && node->symbol != inner_)) {
      supported = false;
      return nullptr;
    }
    const ChainNode* left = Convert(node->left, supported);
    if (left == nullptr) return nullptr;
    const ChainNode* right = Convert(node->right, supported);
    if (right == nullptr) return nullptr;
    if (node->symbol == inner_) return NewInner(left, right);
    ChainNode* outer = nodes_.New(1);
    if (outer == nullptr) return nullptr;
    *outer = ChainNode{left, right, nullptr, 0, 0, 1, 1 + left->outers + right->outers, 0, ModelDiagram::Unknown,
                       nullptr, skeletons_.Element(), outer_, 0, Part::Outer, false, false};
    if (diagram_) outer->diagram = diagram_->Unite(left->diagram, right->diagram);
    if (words_ != 0) {
      std::uint64_t* models = modelWords_.New(words_);
      if (models == nullptr) return nullptr;
      sets_->Unite(left->models, right->models, models);
      outer->models = models;
    }
    return outer;
  }

  // The half x (which leads to the outer element) with its first outer element
  // replaced by filler, as FindOper leaves it; found is that element.
  const ChainNode* Replace(const ChainNode* x, const ChainNode* filler, const ChainNode*& found) {
    StackLevel level;
    if (!level.Enter()) return nullptr;
    if (x->left->part == Part::Outer) {
      found = x->left;
      return NewInner(filler, x->right);
    }
    if (LeadsToOuter(x->left)) {
      const ChainNode* left = Replace(x->left, filler, found);
      return left == nullptr ? nullptr : NewInner(left, x->right);
    }
    if (x->right->part == Part::Outer) {
      found = x->right;
      return NewInner(x->left, filler);
    }
    const ChainNode* right = Replace(x->right, filler, found);
    return right == nullptr ? nullptr : NewInner(x->left, right);
  }

  // FindOper on the chain t: its first outer element and the rest. False when memory
  // ran out.
  bool Split(const ChainNode* t, const ChainNode*& found, const ChainNode*& rest) {
    if (t->left->part == Part::Outer) {
      found = t->left;
      rest = t->right;
    } else if (LeadsToOuter(t->left)) {
      rest = Replace(t->left, t->right, found);
    } else if (t->right->part == Part::Outer) {
      found = t->right;
      rest = t->left;
    } else {
      rest = Replace(t->right, t->left, found);
    }
    return rest != nullptr;
  }

  // ---- The solver, with many letters ------------------------------------------------

  // The input's side tree for the solver: an inner node implies both operands, an outer
  // node one of them; a literal is its letter. False after a stop or a refused charge.
  bool Encode(const ChainNode* x) {
    if (x->sat != 0) return true;
    StackLevel level;
    if (!level.Enter() || !Encode(x->left) || !Encode(x->right)) return false;
    const int v = sat_->NewVariable();
    const int a = x->left->sat;
    const int b = x->right->sat;
    const bool added = x->part == Part::Inner
                           ? sat_->AddClause(std::initializer_list<int>{-v, a}) && sat_->AddClause(std::initializer_list<int>{-v, b})
                           : sat_->AddClause(std::initializer_list<int>{-v, a, b});
    x->sat = v;
    return added && !StopRequested;
  }

  // The diagram and the solver only make the products faster: where their memory cannot
  // be had, the products go on without them.
  void MakeDiagram() {
    try {
      diagram_.emplace(ProductDiagramNodeLimit);
    } catch (const std::bad_alloc&) {
      diagram_.reset();
    }
  }

  void DropSolver() { sat_.reset(); }

  // Whether no clause of the chain t can survive, by the solver. After a stop the
  // answer is no; the caller sees the stop.
  bool Vanishes(const ChainNode* t) {
    try {
      return AskAbout(t);
    } catch (const std::bad_alloc&) {
      DropSolver();
      return false;
    }
  }

  bool AskAbout(const ChainNode* t) {
    assumptions_.clear();
    pending_.assign(1, t);
    while (!pending_.empty()) {
      const ChainNode* x = pending_.back();
      pending_.pop_back();
      if (x->sat != 0) {
        assumptions_.push_back(x->sat);
      } else {
        pending_.push_back(x->right);
        pending_.push_back(x->left);
      }
    }
    const SatAnswer answer = sat_->Solve(std::span<const int>(assumptions_));
    if (sat_->OutOfMemory()) {
      DropSolver();
      return false;
    }
    if (answer == SatAnswer::Unsatisfiable) {
      ++vanished_;
      return true;
    }
    // Asking costs about as much as multiplying out a chain of a few outer elements:
    // while the answers keep finding survivors, ask only about longer chains.
    if (answer == SatAnswer::Satisfiable && ++survived_ > 4 * (vanished_ + 1)) {
      askThreshold_ += 1;
      survived_ = 0;
      vanished_ = 0;
    }
    return false;
  }

  // ---- Products ----------------------------------------------------------------------

  // The chain t converted and evaluated. After a stop the piece holds nothing.
  Piece Evaluate(const ChainNode* t) {
    host_.ProcessPendingInput();
    StackLevel level;
    if (StopRequested || !level.Enter()) return Piece{nullptr, ignored_};
    if (t->barren) return Piece{nullptr, ignored_};
    if (!t->holdsOuter) return Clause(t);
    if (sat_ && t->outers >= askThreshold_ && Vanishes(t)) return Piece{nullptr, ignored_};
    const Mark mark = Top();
    const ChainNode* found;
    const ChainNode* rest;
    if (!Split(t, found, rest)) {
      Exhausted();
      return Piece{nullptr, ignored_};
    }
    const Piece first = Product(found->left, rest);
    if (StopRequested) {
      Release(mark);
      return first;
    }
    const Piece second = Product(found->right, rest);
    Release(mark);
    if (StopRequested) {
      Dispose(first);
      return second;
    }
    return Combine(first, second);
  }

  // The product element i rest, converted and evaluated.
  Piece Product(const ChainNode* element, const ChainNode* rest) {
    const Mark mark = Top();
    const ChainNode* chain = NewInner(element, rest);
    if (chain == nullptr) {
      Exhausted();
      return Piece{nullptr, ignored_};
    }
    const Piece piece = Evaluate(chain);
    Release(mark);
    return piece;
  }

  // The constant evaluation of an outer node over the two pieces.
  Piece Combine(Piece first, Piece second) {
    if (first.tree == nullptr || second.tree == nullptr) {
      const bool firstIsConstant = first.tree == nullptr;
      const Piece constant = firstIsConstant ? first : second;
      const Piece other = firstIsConstant ? second : first;
      if (constant.constant == ignored_) return other;
      Dispose(other);
      return constant;
    }
    FormulaNode* node = AllocateNode();
    if (node == nullptr) {
      Dispose(first);
      Dispose(second);
      Exhausted();
      return Piece{nullptr, ignored_};
    }
    *node = FormulaNode{outer_, KindOfOperator(outer_), 0, first.tree, second.tree};
    return Piece{node, 0};
  }

  FormulaNode* NewConstant(char constant) {
    FormulaNode* node = AllocateNode();
    if (node == nullptr) {
      Exhausted();
      return nullptr;
    }
    *node = FormulaNode{constant, nkLiteral, 0, nullptr, nullptr};
    return node;
  }

  FormulaNode* Materialize(Piece piece) {
    if (StopRequested) {
      Dispose(piece);
      return nullptr;
    }
    return piece.tree != nullptr ? piece.tree : NewConstant(piece.constant);
  }

  // At the root the outer node is left unevaluated: its two products, constants
  // included, stay its operands until the final sort of the outer chain has run.
  FormulaNode* OuterOfTwoProducts(const ChainNode* chain) {
    host_.ProcessPendingInput();
    if (StopRequested) return nullptr;
    const ChainNode* found;
    const ChainNode* rest;
    if (!Split(chain, found, rest)) {
      Exhausted();
      return nullptr;
    }
    FormulaNode* first = Materialize(Product(found->left, rest));
    if (StopRequested) return nullptr;
    FormulaNode* second = Materialize(Product(found->right, rest));
    FormulaNode* node = StopRequested ? nullptr : AllocateNode();
    if (node == nullptr) {
      DisposeSubtree(first);
      if (second != nullptr) DisposeSubtree(second);
      if (!StopRequested) Exhausted();
      return nullptr;
    }
    *node = FormulaNode{outer_, KindOfOperator(outer_), 0, first, second};
    return node;
  }

  // ---- Clauses -----------------------------------------------------------------------

  // A clause's letters are counted once per clause; the chain of a clause can hold
  // thousands of literals (a product over thousands of outer elements) for a handful of
  // letters, so the chains without an outer element carry their counts, each the sum
  // of its two halves', when that fits in a few words per input node.
  void CountByLetter(std::uint64_t letters, std::size_t nodes) {
    const auto count = static_cast<std::size_t>(__builtin_popcountll(letters));
    if (count == 0 || nodes * count > kMostInputWords) return;
    inputLetters_ = letters;
    countLetters_ = count;
    unitCounts_.assign(count * count, 0);
    for (std::size_t i = 0; i < count; ++i) unitCounts_[i * count + i] = 1;
  }

  std::size_t LetterIndex(std::uint64_t bit) const {
    return static_cast<std::size_t>(__builtin_popcountll(inputLetters_ & (bit - 1)));
  }

  void CountLetters(const ChainNode* x) {
    StackLevel level;
    if (!level.Enter()) return;
    if (x->part == Part::Literal) {
      const std::uint64_t bit = LetterBit(x->symbol);
      ++counts_[__builtin_ctzll(bit)];
      return;
    }
    CountLetters(x->left);
    CountLetters(x->right);
  }

  // The clause of the chain t (no outer element, no letter in both signs) in its final
  // form. After the sort, the places of a letter's run are consecutive, and all but the
  // last become constants; the sort of each half then moves its constants to its front.
  Piece Clause(const ChainNode* t) {
    if (t->counts != nullptr) {
      for (std::uint64_t rest = t->plain | t->negated; rest != 0; rest &= rest - 1) {
        const std::uint64_t bit = rest & (~rest + 1);
        counts_[__builtin_ctzll(bit)] = t->counts[LetterIndex(bit)];
      }
    } else {
      CountLetters(t);
    }
    letterCount_ = 0;
    const std::uint32_t leftElements = t->left->elements;
    std::uint32_t survivorsLeft = 0;
    std::uint32_t seen = 0;
    for (std::uint64_t letters = t->plain | t->negated; letters != 0; letters &= letters - 1) {
      const int index = __builtin_ctzll(letters);
      seen += counts_[index];
      counts_[index] = 0;
      if (seen <= leftElements) ++survivorsLeft;
      const std::uint64_t bit = std::uint64_t{1} << index;
      const char symbol = static_cast<char>(index < 26 ? 'A' + index : 'a' + index - 26);
      letters_[letterCount_++] = FormulaNode{symbol, nkLiteral, (t->negated & bit) != 0, nullptr, nullptr};
    }
    leftElements_ = leftElements;
    constantsLeft_ = leftElements - survivorsLeft;
    constantsRightEnd_ = leftElements + (t->elements - leftElements) - (letterCount_ - survivorsLeft);
    if (StopRequested) return Piece{nullptr, ignored_};
    std::uint32_t position = 0;
    std::uint32_t letter = 0;
    FormulaNode* clause = Build(t, position, letter);
    if (StopRequested) return Piece{nullptr, ignored_};
    return Piece{clause, 0};
  }

  bool AllConstants(std::uint32_t from, std::uint32_t to) const {
    return to <= constantsLeft_ || (from >= leftElements_ && to <= constantsRightEnd_);
  }

  // The clause's nodes over the places from position on: a constant's place is left
  // out, and an inner node with one operand left is replaced by it (the constant
  // evaluation's work). nullptr for a part that is all constants, or after a stop.
  FormulaNode* Build(const ChainNode* x, std::uint32_t& position, std::uint32_t& letter) {
    StackLevel level;
    if (!level.Enter()) return nullptr;
    if (AllConstants(position, position + x->elements)) {
      position += x->elements;
      return nullptr;
    }
    if (x->part == Part::Literal) {
      ++position;
      FormulaNode* node = AllocateNode();
      if (node == nullptr) {
        Exhausted();
        return nullptr;
      }
      *node = letters_[letter++];
      return node;
    }
    FormulaNode* left = Build(x->left, position, letter);
    if (StopRequested) return nullptr;
    FormulaNode* right = Build(x->right, position, letter);
    if (StopRequested) {
      if (left != nullptr) DisposeSubtree(left);
      return nullptr;
    }
    if (left == nullptr) return right;
    if (right == nullptr) return left;
    FormulaNode* node = AllocateNode();
    if (node == nullptr) {
      DisposeSubtree(left);
      DisposeSubtree(right);
      Exhausted();
      return nullptr;
    }
    *node = FormulaNode{inner_, KindOfOperator(inner_), 0, left, right};
    return node;
  }

  // ---- The products as a compressed sequence ---------------------------------------
 public:
  // The sequence of the root chain's products, as the multiplying out leaves them at
  // the root (Run with keepTop): its two products side by side, a vanished one as the
  // ignored constant in its place. Each chain's products are made once for all chains
  // with its key; the sequence shares them. SequenceAbandoned where memory, the stack or
  // the counts run out; a stop ends it with StopRequested set.
  std::uint64_t CountedNodes() const { return countedNodes_; }

  // From here on, memory that cannot be had gives the sequence up (SequenceAbandoned)
  // instead of ending the command: the full products are still to be tried.
  void BeginCompressing() { compressing_ = true; }

  ElementSequence::Ref Compress(const ChainNode* chain, ElementSequence& sequence) {
    sequence_ = &sequence;
    const ChainNode* found;
    const ChainNode* rest;
    if (!Split(chain, found, rest)) Exhausted();
    const ElementSequence::Ref first = RootProduct(found->left, rest);
    const ElementSequence::Ref second = RootProduct(found->right, rest);
    return sequence.Join(first, ElementSequence::Shift(second, LengthOf(first)));
  }

  // The tree of the survivors, each at its position among the products with its final
  // term, in the shape the constant evaluation leaves of the multiplied-out chain.
  // nullptr after a stop or where memory ran out (StopRequested set).
  FormulaNode* Rebuild(const ChainNode* chain, std::span<const Survivor> survivors) {
    compressing_ = false;
    const ChainNode* found;
    const ChainNode* rest;
    if (!Split(chain, found, rest)) return Exhausted(), nullptr;
    std::uint64_t base = 0;
    FormulaNode* halves[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
      const Mark mark = Top();
      const ChainNode* product = NewInner(i == 0 ? found->left : found->right, rest);
      if (product == nullptr) return Exhausted(), DisposeHalves(halves), nullptr;
      // A vanished product's place holds the ignored constant, or the literal that the
      // outer chain's sort moved there.
      const std::uint64_t products = SpanOf(product);
      const std::uint64_t span = std::max<std::uint64_t>(1, products);
      const auto end = std::lower_bound(survivors.begin(), survivors.end(), base + span,
                                        [](const Survivor& s, std::uint64_t p) { return s.position < p; });
      const auto here = survivors.subspan(0, static_cast<std::size_t>(end - survivors.begin()));
      if (products == 0) {
        halves[i] = here.empty() ? nullptr : Element(product, here.front().term);
      } else {
        halves[i] = RebuildChain(product, base, here);
      }
      Release(mark);
      if (StopRequested) return DisposeHalves(halves), nullptr;
      survivors = survivors.subspan(static_cast<std::size_t>(end - survivors.begin()));
      base += span;
    }
    return JoinOuter(halves[0], halves[1]);
  }

 private:
  ProductKey KeyOf(const ChainNode* t) const { return ProductKey{t->skeleton, t->plain, t->negated}; }

  // The number of products of a chain: its sequence's length when it was made.
  std::uint64_t SpanOf(const ChainNode* t) {
    if (t->barren) return 0;
    const Products* found = products_.Find(KeyOf(t));
    return found == nullptr ? 0 : found->length;
  }

  // One of the root's two products; where it vanishes, the ignored constant stands in
  // its place.
  ElementSequence::Ref RootProduct(const ChainNode* element, const ChainNode* rest) {
    const Mark mark = Top();
    const ChainNode* chain = NewInner(element, rest);
    if (chain == nullptr) Exhausted();
    ElementSequence::Ref ref = CompressChain(chain);
    Release(mark);
    if (ref.Empty()) ref = sequence_->Leaf(sequence_->Intern(Term{0, 0, ignored_}));
    return ref;
  }

  ElementSequence::Ref CompressChain(const ChainNode* t) {
    host_.ProcessPendingInput();
    StackLevel level;
    if (StopRequested || !level.HasRoom()) AbandonSequence();
    if (t->barren) return {};
    const ProductKey key = KeyOf(t);
    if (const Products* known = products_.Find(key)) {
      countedNodes_ = Sum(countedNodes_, known->nodes);
      countedProducts_ = Sum(countedProducts_, known->length);
      return known->products;
    }
    ElementSequence::Ref products;
    std::uint64_t nodes = 0;
    if (!t->holdsOuter) {
      products = sequence_->Leaf(sequence_->Intern(Term{t->plain, t->negated, 0}));
      nodes = 2 * static_cast<std::uint64_t>(__builtin_popcountll(t->plain | t->negated));
      countedNodes_ = Sum(countedNodes_, nodes);
      countedProducts_ = Sum(countedProducts_, 1);
    } else {
      const Mark mark = Top();
      const ChainNode* found;
      const ChainNode* rest;
      if (!Split(t, found, rest)) Exhausted();
      const Products first = CompressProduct(found->left, rest);
      const Products second = CompressProduct(found->right, rest);
      Release(mark);
      products = sequence_->Join(first.products, ElementSequence::Shift(second.products, LengthOf(first.products)));
      nodes = Sum(first.nodes, second.nodes);
    }
    products_.Insert(key, Products{products, LengthOf(products), nodes});
    if (products_.Size() >= nextSharingCheck_) CheckSharing();
    return products;
  }

  // The sequence pays where products repeat: each key is made once, and whatever
  // repeats is shared. Where the products met so far hardly repeat (all of them distinct,
  // as in (A|a)&(B|b)&...), the keys cost more than the products themselves, and the
  // sequence is given up for the full products early.
  void CheckSharing() {
    nextSharingCheck_ *= 2;
    if (countedProducts_ < kLeastSharing * products_.Size()) AbandonSequence();
  }
  static constexpr std::uint64_t kLeastSharing = 4;

  struct Products {
    ElementSequence::Ref products;
    std::uint64_t length;
    std::uint64_t nodes;  // what the products take as a tree: at least twice their letters
  };

  Products CompressProduct(const ChainNode* element, const ChainNode* rest) {
    const Mark mark = Top();
    const ChainNode* chain = NewInner(element, rest);
    if (chain == nullptr) Exhausted();
    const ElementSequence::Ref products = CompressChain(chain);
    const Products made{products, LengthOf(products), chain->barren ? 0 : products_.Find(KeyOf(chain))->nodes};
    Release(mark);
    return made;
  }

  static std::uint64_t Sum(std::uint64_t a, std::uint64_t b) { return std::min(a + b, ElementSequence::kMany); }

  // The positions a sequence of products takes: one per product. The products of a
  // chain are counted before any leaves, so this is their number.
  std::uint64_t LengthOf(ElementSequence::Ref ref) const {
    if (ref.Empty()) return 0;
    const std::uint64_t length = sequence_->Elements(ref.part);
    if (length >= ElementSequence::kMany) AbandonSequence();
    return length;
  }

  FormulaNode* RebuildChain(const ChainNode* t, std::uint64_t base, std::span<const Survivor> survivors) {
    if (survivors.empty()) return nullptr;
    host_.ProcessPendingInput();
    StackLevel level;
    if (StopRequested || !level.Enter()) return nullptr;
    if (!t->holdsOuter) return Element(t, survivors.front().term);
    const Mark mark = Top();
    const ChainNode* found;
    const ChainNode* rest;
    if (!Split(t, found, rest)) return Exhausted(), nullptr;
    FormulaNode* halves[2] = {nullptr, nullptr};
    for (int i = 0; i < 2 && !survivors.empty(); ++i) {
      const Mark productMark = Top();
      const ChainNode* product = NewInner(i == 0 ? found->left : found->right, rest);
      if (product == nullptr) {
        Exhausted();
        break;
      }
      const std::uint64_t span = SpanOf(product);
      const auto end = std::lower_bound(survivors.begin(), survivors.end(), base + span,
                                        [](const Survivor& s, std::uint64_t p) { return s.position < p; });
      const auto count = static_cast<std::size_t>(end - survivors.begin());
      halves[i] = RebuildChain(product, base, survivors.subspan(0, count));
      Release(productMark);
      if (StopRequested) break;
      survivors = survivors.subspan(count);
      base += span;
    }
    Release(mark);
    if (StopRequested) return DisposeHalves(halves), nullptr;
    return JoinOuter(halves[0], halves[1]);
  }

  // A surviving product: its clause as the multiplying out builds it, without the
  // literals that the minimisation dropped; a literal element holds the term that the
  // outer chain's sort put in its place.
  FormulaNode* Element(const ChainNode* t, const Term& term) {
    if (term.IsLiteral()) {
      FormulaNode* node = AllocateNode();
      if (node == nullptr) return Exhausted(), nullptr;
      const std::uint64_t bit = term.Letters();
      *node = FormulaNode{LetterOfBit(bit), nkLiteral, (term.negated & bit) != 0, nullptr, nullptr};
      return node;
    }
    const Piece clause = Clause(t);
    if (StopRequested) return nullptr;
    return KeepLetters(clause.tree, term.Letters());
  }

  // The clause without the literals of other letters, as the constant evaluation leaves
  // it after they became the constant that the clause's operator ignores.
  static FormulaNode* KeepLetters(FormulaNode* node, std::uint64_t letters) {
    if (IsLiteral(node)) {
      if ((LetterBit(node->symbol) & letters) != 0) return node;
      FreeNode(node);
      return nullptr;
    }
    FormulaNode* left = KeepLetters(node->left, letters);
    FormulaNode* right = KeepLetters(node->right, letters);
    if (left != nullptr && right != nullptr) {
      node->left = left;
      node->right = right;
      return node;
    }
    FreeNode(node);
    return left != nullptr ? left : right;
  }

  FormulaNode* JoinOuter(FormulaNode* first, FormulaNode* second) {
    if (first == nullptr || second == nullptr) return first != nullptr ? first : second;
    FormulaNode* node = AllocateNode();
    if (node == nullptr) {
      DisposeSubtree(first);
      DisposeSubtree(second);
      Exhausted();
      return nullptr;
    }
    *node = FormulaNode{outer_, KindOfOperator(outer_), 0, first, second};
    return node;
  }

  static void DisposeHalves(FormulaNode* (&halves)[2]) {
    for (FormulaNode*& half : halves) {
      if (half != nullptr) DisposeSubtree(half);
      half = nullptr;
    }
  }

  ElementSequence* sequence_ = nullptr;
  // The nodes that the full products before the point the compression has reached take.
  std::uint64_t countedNodes_ = 0;
  std::uint64_t countedProducts_ = 0;
  std::size_t nextSharingCheck_ = std::size_t{1} << 17;  // keys made
  FlatMap<ProductKey, Products, ProductKeyHash> products_;
  Skeletons skeletons_;
  bool compressing_ = false;
  const char outer_;
  const char inner_;
  const char ignored_;  // the constant the outer operator ignores: '1' in a CNF, '0' in a DNF
  Host& host_;
  std::optional<ModelSets> sets_;  // the bit sets, kept with few letters
  std::optional<ModelDiagram> diagram_;  // with many letters, while it stays small
  std::optional<FormulaSat> sat_;  // the solver, where neither helps
  std::uint32_t askThreshold_ = 4; // outer elements a chain needs to be asked about
  std::uint32_t survived_ = 0;     // answers since the threshold last rose
  std::uint32_t vanished_ = 0;
  BudgetVector<int> assumptions_;
  BudgetVector<const ChainNode*> pending_;
  std::size_t words_ = 0;          // words of a bit set; 0 without them
  StackArena<ChainNode> nodes_{4096};
  StackArena<std::uint64_t> modelWords_{std::size_t{1} << 16};
  std::uint32_t counts_[kLetters] = {};
  std::uint64_t inputLetters_ = 0;
  std::size_t countLetters_ = 0;           // letters of the counts; 0 without counts
  BudgetVector<std::uint32_t> unitCounts_;  // a literal's counts, by letter
  StackArena<std::uint32_t> countWords_{std::size_t{1} << 16};
  FormulaNode letters_[kLetters];
  std::uint32_t letterCount_ = 0;
  std::uint32_t leftElements_ = 0;       // places in the clause's left half
  std::uint32_t constantsLeft_ = 0;      // places [0, constantsLeft_) are constants
  std::uint32_t constantsRightEnd_ = 0;  // and so are [leftElements_, constantsRightEnd_)
};

}  // namespace product_detail

using product_detail::Multiplier;

// The diagram's nodes take 12 bytes each, with about as much again for its tables.
std::size_t ProductDiagramNodeLimit = std::size_t{1} << 20;

ProductOutcome MultiplyOutChain(Slot slot, char outer, bool keepTop, Host& host) {
  Multiplier multiplier(outer, host);
  return multiplier.Run(slot, keepTop);
}

ProductSequence::ProductSequence(char outer, Host& host) : multiplier_(std::make_unique<Multiplier>(outer, host)) {}
ProductSequence::~ProductSequence() = default;

ProductOutcome ProductSequence::Build(const FormulaNode* root, ElementSequence& sequence, ElementSequence::Ref& products) {
  ProductOutcome outcome;
  multiplier_->BeginCompressing();
  chain_ = multiplier_->Prepare(root, outcome);
  if (chain_ == nullptr) return outcome;
  products = multiplier_->Compress(chain_, sequence);
  return ProductOutcome::Done;
}

std::uint64_t ProductSequence::NodesCounted() const { return multiplier_->CountedNodes(); }

FormulaNode* ProductSequence::Rebuild(std::span<const Survivor> survivors) {
  return multiplier_->Rebuild(chain_, survivors);
}

}  // namespace lumenark
