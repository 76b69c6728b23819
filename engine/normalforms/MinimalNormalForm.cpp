// A normal form and its minimisation in one, where no step is written: the products of
// the multiplied-out chain are held as a compressed sequence (ElementSequence), the
// minimisation's passes run over it (SequencePass) while it is long, and the tree is
// built only for the elements that are left. A consistent formula's DNF repeats the same
// products over and over (a CNF of 30 clauses over 10 letters has millions of products
// and a handful of distinct terms), and every repeat but the last is gone after the
// first pass; this way they are never built.
//
// The result is the tree and the text that ToCNF or ToDNF followed by Minimize leave,
// step for step: the sequence holds the products in the order and at the positions the
// multiplying out gives them, the outer chain's literal elements are sorted and reduced
// as the conversion's last steps do, each pass applies the same rules to the same pairs
// in the same order, and the tree built from what is left has the shape the constant
// evaluations leave. Once the sequence is short, or a pass changes nothing, the tree is
// built and Minimize goes on from there as it would have.


#include <algorithm>
#include <new>
#include <optional>

#include "formula/FormulaDocument.h"
#include "formula/LetterBits.h"
#include "formula/NodeAllocator.h"
#include "formula/TreeOperations.h"
#include "normalforms/ChainProduct.h"
#include "normalforms/ElementSequence.h"
#include "normalforms/MinimalNormalForm.h"
#include "normalforms/SequencePass.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MemoryBudget.h"
#include "runtime/SystemHeap.h"

namespace lumenark {

std::uint64_t CompressedProductsMinimum = std::uint64_t{1} << 16;
std::uint64_t CompressedPassesDownTo = std::uint64_t{1} << 14;

namespace {

using Ref = ElementSequence::Ref;

char SymbolOf(const Term& term) { return term.constant != 0 ? term.constant : LetterOfBit(term.Letters()); }

// The conversion's last steps on the outer chain's literal elements (the products of a
// single literal, and the root's vanished products as the ignored constant): they are
// sorted by symbol into their own places, each letter of a run but the last becomes a
// constant (IdCom), and the constant evaluation removes the ignored constants. Returns
// the constant the whole chain becomes, where a letter met its negation.
std::optional<char> SortOuterLiterals(ElementSequence& sequence, Ref& products, char outer) {
  struct Place {
    std::uint64_t position;
    Term term;
  };
  BudgetVector<Place> places;
  sequence.ForEach(
      products, [&](ElementSequence::Part part) { return sequence.LiteralElements(part) != 0; },
      [&](std::uint64_t position, ElementSequence::TermId id) {
        if (sequence.TermOf(id).IsLiteral()) places.push_back(Place{position, sequence.TermOf(id)});
      });
  if (places.empty()) return std::nullopt;
  BudgetVector<Term> sorted;
  sorted.reserve(places.size());
  for (const Place& place : places) sorted.push_back(place.term);
  std::stable_sort(sorted.begin(), sorted.end(), [](const Term& a, const Term& b) {
    return static_cast<unsigned char>(SymbolOf(a)) < static_cast<unsigned char>(SymbolOf(b));
  });
  const char ignored = outer == '|' ? '0' : '1';
  const char deciding = outer == '|' ? '1' : '0';
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    Term& previous = sorted[i - 1];
    const Term& current = sorted[i];
    if (previous.constant != 0 || current.constant != 0 || previous.Letters() != current.Letters()) continue;
    previous = Term{0, 0, previous == current ? ignored : deciding};
    if (previous.constant == deciding) return deciding;
  }
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (sorted[i].constant == ignored) {
      products = sequence.Replace(products, places[i].position, nullptr);
    } else if (!(sorted[i] == places[i].term)) {
      const ElementSequence::TermId id = sequence.Intern(sorted[i]);
      products = sequence.Replace(products, places[i].position, &id);
    }
  }
  return std::nullopt;
}

// Whether an element of the sequence is the constant.
bool HoldsConstant(ElementSequence& sequence, Ref products, char constant) {
  bool found = false;
  sequence.ForEach(
      products, [&](ElementSequence::Part part) { return !found && sequence.LiteralElements(part) != 0; },
      [&](std::uint64_t, ElementSequence::TermId id) { found = found || sequence.TermOf(id).constant == constant; });
  return found;
}

}  // namespace

void FormulaDocument::ToMinimalCNF() { MinimalNormalForm(CNFOper, "Result - Conversion to CNF:"); }
void FormulaDocument::ToMinimalDNF() { MinimalNormalForm(DNFOper, "Result - Conversion to DNF:"); }

void FormulaDocument::MinimalNormalForm(char outer, const char* resultComment) {
  if (Root == nullptr) return;
  if (DetailLevel != 4 || StepByStepNormalForms || !CompressedProducts) {
    ConvertToNormalForm(outer, resultComment);
    Minimize();
    return;
  }
  ToConDis();
  ConstEval();
  if (StopRequested) {
    DisposeTree();
    return;
  }
  if (MinimizeCompressed(outer)) return;
  MultiplyToNormalForm(outer, resultComment);
  Minimize();
}

// Where the compressed sequence ran out of memory: if the products it counted could not
// be held in full either, the full route would end as out of memory too, and so the
// command ends so at once. Otherwise the memory the sequence took goes back to the
// system, and the full route is tried.
bool FormulaDocument::OutOfRoomForTheProducts(std::uint64_t nodes) {
  if (nodes > MemoryBudgetBytes() / sizeof(FormulaNode)) {
    StopForExhaustedMemory();
    DisposeTree();
    return true;
  }
  TrimHeap();
  return false;
}

// False where the compressed route is not taken or is given up, with the tree as it was.
bool FormulaDocument::MinimizeCompressed(char outer) {
  if (IsLiteral(Root) || Root->symbol == outer) return false;
  const char ignored = outer == '|' ? '0' : '1';
  const char deciding = outer == '|' ? '1' : '0';
  FormulaNode* result = nullptr;
  ProductSequence products(outer, Platform);
  try {
    BudgetVector<Survivor> survivors;
    {
      ElementSequence sequence;
      Ref elements;
      switch (products.Build(Root, sequence, elements)) {
        case ProductOutcome::Unsupported: return false;
        case ProductOutcome::Stopped: DisposeTree(); return true;
        case ProductOutcome::Done: break;
      }
      if (sequence.Elements(elements.part) < CompressedProductsMinimum) return false;
      if (const std::optional<char> constant = SortOuterLiterals(sequence, elements, outer)) {
        BecomeConstant(*constant);
        return true;
      }
      // A pass that would cost more than over the tree, or that runs out of memory,
      // leaves the tree to be built as the pass before left it.
      bool changed = true;
      while (changed && !elements.Empty() && sequence.Elements(elements.part) > CompressedPassesDownTo) {
        std::optional<Ref> after;
        try {
          after = RunSequencePass(sequence, elements, deciding, changed);
        } catch (const std::bad_alloc&) {
          TrimHeap();  // what the pass took goes back to the system for the tree
        }
        if (!after) break;
        elements = *after;
        // An element that became the deciding constant makes the whole formula that
        // constant, and the passes over a single literal change nothing.
        if (HoldsConstant(sequence, elements, deciding)) {
          BecomeConstant(deciding);
          return true;
        }
      }
      // A tree of these elements takes a node for each at least; the full products, of
      // which they are what is left, would not fit either.
      if (sequence.Elements(elements.part) > MemoryBudgetBytes() / sizeof(FormulaNode)) {
        StopForExhaustedMemory();
        DisposeTree();
        return true;
      }
      sequence.ForEach(
          elements, [](ElementSequence::Part) { return true; },
          [&](std::uint64_t position, ElementSequence::TermId id) {
            survivors.push_back(Survivor{position, sequence.TermOf(id)});
          });
    }
    if (survivors.empty()) {
      BecomeConstant(ignored);
      return true;
    }
    // The sequence's memory goes back to the system before the tree takes its own.
    TrimHeap();
    result = products.Rebuild(survivors);
  } catch (const SequenceAbandoned&) {
    if (!StopRequested) return OutOfRoomForTheProducts(products.NodesCounted());
    DisposeTree();
    return true;
  } catch (const std::bad_alloc&) {
    return OutOfRoomForTheProducts(products.NodesCounted());
  }
  if (result == nullptr) {  // a stop, or no memory for the tree
    DisposeTree();
    return true;
  }
  DisposeTree();
  Root = result;
  Minimize();
  return true;
}

}  // namespace lumenark
