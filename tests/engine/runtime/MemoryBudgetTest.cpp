// The memory budget: how much a command may take on a given machine, and what happens
// when a command reaches it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "formula/BackgroundDisposal.h"
#include "formula/NodeAllocator.h"
#include "runtime/AddressSanitizer.h"
#include "runtime/CgroupMemory.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
constexpr std::uint64_t GiB = std::uint64_t{1} << 30;

MemoryFacts Machine(std::uint64_t available, std::uint64_t total) {
  MemoryFacts facts;
  facts.memAvailable = available;
  facts.memTotal = total;
  return facts;
}

std::uint64_t HeadroomMiB(const MemoryFacts& facts) { return DefaultMemoryHeadroom(facts) / MiB; }

TEST(MemoryBudgetTest, HeadroomFromTheMachine) {
  // An eighth of the memory (at least 256 MiB, at most 1 GiB) is kept back, and 64 MiB
  // for what is not counted.
  EXPECT_EQ(HeadroomMiB(Machine(16 * GiB, 24 * GiB)), 15 * 1024 - 64);
  EXPECT_EQ(HeadroomMiB(Machine(2560 * MiB, 24 * GiB)), 2560 - 1024 - 64);
  EXPECT_EQ(HeadroomMiB(Machine(4 * GiB, 4 * GiB)), 4096 - 512 - 64);
  EXPECT_EQ(HeadroomMiB(Machine(1 * GiB, 1 * GiB)), 1024 - 256 - 64);
  MemoryFacts facts = Machine(16 * GiB, 24 * GiB);
  facts.addressSpaceLimit = 2 * GiB;  // what RLIMIT_AS leaves above VmSize
  facts.addressSpaceUsed = 1536 * MiB;
  EXPECT_EQ(HeadroomMiB(facts), 512 - 64);
  facts = Machine(16 * GiB, 24 * GiB);
  facts.dataLimit = 1 * GiB;  // what RLIMIT_DATA leaves above VmData
  facts.dataUsed = 100 * MiB;
  EXPECT_EQ(HeadroomMiB(facts), 1024 - 100 - 64);
  facts = Machine(16 * GiB, 24 * GiB);
  facts.cgroupRoom = 500 * MiB;  // a container: its cgroup, not the host's memory
  EXPECT_EQ(HeadroomMiB(facts), 500 - 64);
  facts = Machine(900 * MiB, 1 * GiB);  // the tightest of all
  facts.dataLimit = 2 * GiB;
  facts.cgroupRoom = 3 * GiB;
  EXPECT_EQ(HeadroomMiB(facts), 900 - 256 - 64);
  // A small formula still fits on a full machine, or at a limit already reached.
  EXPECT_EQ(HeadroomMiB(Machine(100 * MiB, 8 * GiB)), 32u);
  facts = MemoryFacts{};
  facts.addressSpaceLimit = 1 * GiB;
  facts.addressSpaceUsed = 2 * GiB;
  EXPECT_EQ(HeadroomMiB(facts), 32u);
  EXPECT_EQ(HeadroomMiB(MemoryFacts{}), 1024u) << "no figures at all";
}

// The figure that decides the headroom is named, so that the message can say which
// limit bound.
TEST(MemoryBudgetTest, HeadroomNamesTheLimitThatDecides) {
  struct Case {
    const char* what;
    MemoryFacts facts;
    MemoryLimitSource source;
    std::optional<MemoryLimitSource> process;  // what the process's own limits say
  };
  MemoryFacts addressSpace = Machine(16 * GiB, 24 * GiB);
  addressSpace.addressSpaceLimit = 2 * GiB;
  addressSpace.addressSpaceUsed = 1536 * MiB;
  MemoryFacts data = Machine(16 * GiB, 24 * GiB);
  data.dataLimit = GiB;
  MemoryFacts cgroup = Machine(16 * GiB, 24 * GiB);
  cgroup.cgroupRoom = 500 * MiB;
  cgroup.dataLimit = 4 * GiB;
  MemoryFacts system = Machine(900 * MiB, GiB);
  system.dataLimit = 2 * GiB;
  const Case cases[] = {
      {"machine", Machine(16 * GiB, 24 * GiB), MemoryLimitSource::System, std::nullopt},
      {"ulimit -v", addressSpace, MemoryLimitSource::AddressSpace, MemoryLimitSource::AddressSpace},
      {"ulimit -d", data, MemoryLimitSource::DataSegment, MemoryLimitSource::DataSegment},
      {"cgroup", cgroup, MemoryLimitSource::Cgroup, MemoryLimitSource::Cgroup},
      {"system below a limit", system, MemoryLimitSource::System, MemoryLimitSource::DataSegment},
      {"no figures", MemoryFacts{}, MemoryLimitSource::System, std::nullopt},
  };
  for (const Case& c : cases) {
    const MemoryHeadroom room = DefaultMemoryHeadroomAndSource(c.facts);
    EXPECT_EQ(room.source, c.source) << c.what;
    EXPECT_EQ(room.bytes, DefaultMemoryHeadroom(c.facts)) << c.what;
    const std::optional<MemoryHeadroom> process = ProcessLimitHeadroom(c.facts);
    EXPECT_EQ(process ? std::optional(process->source) : std::nullopt, c.process) << c.what;
  }
}

// A limit in the environment that is no size is an error that names the variable.
TEST(MemoryBudgetTest, BadLimitInTheEnvironmentIsNamed) {
  const std::pair<const char*, const char*> values[] = {
      {"abc", "abc"}, {"0", "0"}, {"-5", "-5"}, {"99999999999G", "99999999999G"}, {"", ""},
      {"64M\n", "64M?"}, {"1234567890123456789012345678901234567890XYZ", "1234567890123456789012345678901234567890..."}};
  for (const auto& [value, shown] : values) {
    setenv(kMemoryLimitVariable, value, 1);
    EXPECT_EQ(MemoryLimitEnvironmentError(), std::string("The environment variable LUMENARK_MEMORY_LIMIT is \"") +
                                                 shown + "\", not a size such as 512M or 2G.")
        << value;
    EXPECT_FALSE(MemoryLimitFromEnvironment()) << value;
  }
  setenv(kMemoryLimitVariable, "64M", 1);
  EXPECT_FALSE(MemoryLimitEnvironmentError());
  EXPECT_EQ(MemoryLimitFromEnvironment(), 64 * MiB);
  unsetenv(kMemoryLimitVariable);
  EXPECT_FALSE(MemoryLimitEnvironmentError());
  EXPECT_FALSE(MemoryLimitFromEnvironment());
}

TEST(MemoryBudgetTest, SizesOnTheCommandLine) {
  EXPECT_EQ(ParseMemorySize("64M"), 64 * MiB);
  EXPECT_EQ(ParseMemorySize("2g"), 2 * GiB);
  EXPECT_EQ(ParseMemorySize("512KiB"), 512 * 1024);
  EXPECT_EQ(ParseMemorySize("1GB"), GiB);
  EXPECT_EQ(ParseMemorySize("100000"), 100000u);
  for (const char* bad : {"", "0", "M", "12Q", "-5M", "1.5G", "64M ", "99999999999T"}) {
    EXPECT_FALSE(ParseMemorySize(bad)) << bad;
  }
}

// The line below "Insuficient memory." names the limit in force and how to set another.
TEST(MemoryBudgetTest, TheMessageNamesTheLimit) {
  const std::pair<std::uint64_t, const char*> sizes[] = {
      {1000, "1000 bytes"}, {512 * 1024, "512 KiB"}, {64 * MiB, "64 MiB"}, {1536 * MiB, "1.5 GiB"},
      {2 * GiB, "2 GiB"}, {GiB + MiB, "1 GiB"}, {12 * GiB + 900 * MiB, "12 GiB"}, {10 * MiB + 1, "10 MiB"}};
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(MemorySizeText(bytes), text) << bytes;
  SetMemoryLimit(64 * MiB);
  BeginMemoryBudget();
  EXPECT_EQ(InsufficientMemoryText(),
            "Insuficient memory.\nThe limit is 64 MiB, as set; set another with LUMENARK_MEMORY_LIMIT or "
            "lumenark-cli --memory-limit.");
  SetMemoryLimit(std::nullopt);
  BeginMemoryBudget();
  const std::string machine = MemoryLimitLine();
  EXPECT_EQ(machine, "The limit is " + MemorySizeText(MemoryBudgetBytes()) +
                         ", what the system can spare; set another with LUMENARK_MEMORY_LIMIT or "
                         "lumenark-cli --memory-limit.");
}

TEST(MemoryBudgetTest, CgroupLimitsOfBothVersions) {
  const auto root = std::filesystem::temp_directory_path() / ("lumenark-cgroup-" + std::to_string(::getpid()));
  auto put = [&](const std::string& file, const std::string& text) {
    std::filesystem::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text;
  };
  // v2: the user's slice allows 1 GiB, the session below it has no limit of its own.
  put("user.slice/memory.max", "1073741824\n");
  put("user.slice/memory.current", "104857600\n");
  put("user.slice/session/memory.max", "max\n");
  put("user.slice/session/memory.current", "5000\n");
  EXPECT_EQ(CgroupMemoryRoom("0::/user.slice/session\n", root.string()), GiB - 100 * MiB);
  // v1, in a container whose own cgroup appears as the root; "no limit" is a huge number.
  put("memory/memory.limit_in_bytes", "536870912\n");
  put("memory/memory.usage_in_bytes", "0\n");
  EXPECT_EQ(CgroupMemoryRoom("12:cpu,cpuacct:/\n4:memory:/\n", root.string()), 512 * MiB);
  put("memory/memory.limit_in_bytes", "9223372036854771712\n");
  EXPECT_FALSE(CgroupMemoryRoom("4:memory:/\n", root.string()));
  EXPECT_FALSE(CgroupMemoryRoom("0::/nowhere\n", root.string()));
  std::filesystem::remove_all(root);
}

// An explicit budget for the life of a test.
class BudgetScope {
 public:
  explicit BudgetScope(std::uint64_t extra) { SetMemoryLimit(MemoryInUse() + extra); }
  ~BudgetScope() { SetMemoryLimit(std::nullopt); }
};

std::string EquivalenceChain(int letters) {
  std::string chain = "A";
  for (int i = 1; i < letters; ++i) chain += std::string("=") + static_cast<char>('A' + i % 20);
  return chain;
}

// A command that reaches the budget ends as a stop with "Insuficient memory." once: a
// conversion keeps its partial tree (and does not print it), a normal form is
// discarded; nothing leaks, and a small command runs afterwards.
TEST(MemoryBudgetTest, CommandEndsAtTheBudget) {
  const std::size_t live = LiveNodeCount();
  {
    BudgetScope budget(48 * MiB);
    {
      Session literals(EquivalenceChain(60));
      literals.Run(FormulaCommand::Literals);
      EXPECT_EQ(FirstLines(literals.host.messages), std::vector<std::string>{"Insuficient memory."});
      ASSERT_NE(literals.doc.Root, nullptr);
      EXPECT_EQ(CheckTree(literals.doc.Root), "");
      EXPECT_EQ(Written(literals.Text()), "");
      EXPECT_FALSE(StopRequested);
      EXPECT_LE(MemoryInUse(), MemoryBudgetBytes());
    }
    ReleaseFreeNodeMemory();

    Session cnf("A&a|B&b|C&c|D&d|E&e|F&f|G&g|H&h|I&i|J&j|K&k|L&l|M&m|N&n|O&o|P&p|Q&q|R&r|S&s|T&t|U&u|V&v");
    cnf.Run(FormulaCommand::MinimalCNF);
    EXPECT_EQ(cnf.host.messages, std::vector<std::string>{"Insuficient memory.\n" + MemoryLimitLine()});
    EXPECT_EQ(cnf.doc.Root, nullptr);
    EXPECT_EQ(cnf.host.dialogVisible, false);

    cnf.text.SelectAll();
    cnf.text.ReplaceSelection("(A|B)&(~A|B)");
    cnf.text.SelectAll();
    cnf.Run(FormulaCommand::MinimalCNF);
    EXPECT_EQ(cnf.host.messages.size(), 1u);
    EXPECT_EQ(Written(cnf.Text()), "B\n");
  }
  EXPECT_EQ(LiveNodeCount(), live);
}

// Recursion takes stack as deep as the tree, and that stack counts too: printing a chain
// half a million levels deep needs tens of megabytes of it.
TEST(MemoryBudgetTest, DeepRecursionCountsItsStack) {
  std::string chain = "A";
  while (chain.size() < 1'000'000) chain += "|A";
  Session session(chain);
  session.Run(FormulaCommand::Compile);
  ASSERT_EQ(session.doc.ParseError, 0);
  const std::size_t compiled = session.Text().size();
  {
    BudgetScope budget(4 * MiB);
    session.Run(FormulaCommand::Decompile);
  }
  EXPECT_EQ(FirstLines(session.host.messages), std::vector<std::string>{"Insuficient memory."});
  EXPECT_LT(session.Text().size(), compiled + chain.size());
  session.Run(FormulaCommand::Decompile);
  EXPECT_EQ(session.host.messages.size(), 1u) << "with the machine's budget the print fits";
}

#ifndef LUMENARK_ASAN  // the sanitizer's build gives every node to the general memory manager
TEST(MemoryBudgetTest, MemoryOfADiscardedTreeGoesBack) {
  ReleaseFreeNodeMemory();
  const std::size_t before = NodeMemoryBytes();
  {
    Session cnf("A&a|B&b|C&c|D&d|E&e|F&f|G&g|H&h|I&i|J&j|K&k|L&l|M&m|N&n|O&o|P&p|Q&q|R&r|S&s|T&t|U&u|V&v");
    BudgetScope budget(256 * MiB);
    cnf.Run(FormulaCommand::Conjunctive);
    EXPECT_EQ(FirstLines(cnf.host.messages), std::vector<std::string>{"Insuficient memory."});
  }
  EXPECT_LE(NodeMemoryBytes(), before + 64 * MiB) << "kept " << (NodeMemoryBytes() - before) / MiB << " MiB";
}
#endif

}  // namespace
}  // namespace lumenark::testing
