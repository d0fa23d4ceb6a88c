// Every writer of a file through the staged seam, with the disk failing at each of its calls:
// the error names the file and the system's reason, the old file is left whole and nothing
// else is left beside it.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "files/file_write_error.h"
#include "files/scratch_file.h"
#include "files/staged_file.h"
#include "platform/cairo/cairo_render.h"
#include "platform/cairo/png_file.h"
#include "platform/dxf/dxf_writer.h"
#include "platform/workshop/outputs/coil_csv.h"
#include "tests/reliability/faulty_disk.h"
#include "tests/reliability/folder_snapshot.h"
#include "tests/storage/temp_folder.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;

// A large file passes through many write calls; each of them fails in turn.
std::string manyBytes() {
  std::string bytes;
  for (int i = 0; bytes.size() < 200000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  return bytes;
}

std::vector<CoilOrder> coilOrders() {
  CoilOrder order;
  order.group.colour = "红, \"深\"";
  order.group.thickness = 0.5;
  for (int i = 0; i < 400; ++i) order.group.pieces.push_back({"包角", 300.0 + i, 2000, 1});
  SheetPattern pattern{3, 2000, {}};
  for (std::size_t i = 0; i < order.group.pieces.size(); ++i) {
    pattern.rows.push_back({300.0 + static_cast<double>(i), {{i, 1}}});
  }
  order.plan.patterns.push_back(pattern);
  return {order};
}

void writeDrawing(const fs::path& file) {
  dxf::DxfWriter writer(file, {{{u"0", 7}}, {{u"Standard", "txt", ""}}});
  for (int i = 0; i < 2000; ++i) {
    writer.add(dxf::Line{{0, 0.0 + i, 0}, {1000, 0.0 + i, 0}, u"0", 1});
  }
  writer.finish();
}

void writePicture(const fs::path& file) {
  std::vector<uint32_t> pixels(std::size_t{200} * 150);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<uint32_t>(i * 2654435761U);
  cairo::writeFastPng(file, 200, 150, pixels);
}

struct Writer {
  const char* name;
  std::function<void(const fs::path&)> write;
};

const std::array kWriters{
    Writer{"bytes", [](const fs::path& file) { files::writeFileSafely(file, manyBytes()); }},
    Writer{"stream",
           [](const fs::path& file) {
             files::StagedFile staged(file);
             staged.stream() << manyBytes();
             staged.commit();
           }},
    Writer{"callback",
           [](const fs::path& file) {
             files::StagedFile staged(file);
             const std::string bytes = manyBytes();
             for (std::size_t at = 0; at < bytes.size(); at += 1000) {
               if (!staged.tryWrite(bytes.data() + at,
                                    std::min<std::size_t>(1000, bytes.size() - at))) {
                 break;
               }
             }
             staged.commit();
           }},
    Writer{"coil order", [](const fs::path& file) { workshop::writeCoilCsv(file, coilOrders()); }},
    Writer{"drawing", writeDrawing},
    Writer{"picture", writePicture},
};

class StagedWrites : public ::testing::TestWithParam<Writer> {
 protected:
  StagedWrites() { faultPlan().reset(); }
  ~StagedWrites() override { faultPlan().reset(); }
};

TEST_P(StagedWrites, a_failure_at_any_call_names_the_file_and_keeps_the_old_one) {
  const TempFolder folder;
  const fs::path file = folder / "out.dat";
  GetParam().write(folder / "probe.dat");
  const std::size_t calls = faultPlan().calls;
  fs::remove(folder / "probe.dat");
  ASSERT_GT(calls, 6U) << "too few calls to fail each of";
  std::ofstream(file) << "old";
  const auto before = snapshotOf(folder.path());

  // The last call syncs the folder after the rename: nothing is left to fail then.
  for (std::size_t at = 1; at < calls; ++at) {
    faultPlan().reset();
    faultPlan().failAt = at;
    faultPlan().failErrno = ENOSPC;
    try {
      GetParam().write(file);
      ADD_FAILURE() << "call " << at << " failed unnoticed";
    } catch (const std::exception& error) {
      EXPECT_EQ(std::string(error.what()),
                file.string() + ": cannot write: No space left on device")
          << "call " << at;
    }
    faultPlan().reset();
    EXPECT_EQ(snapshotOf(folder.path()), before) << "call " << at;
  }
  GetParam().write(file);
  EXPECT_EQ(snapshotOf(folder.path()).size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(AllWriters, StagedWrites, ::testing::ValuesIn(kWriters),
                         [](const auto& writer) {
                           std::string name = writer.param.name;
                           for (char& c : name) c = c == ' ' ? '_' : c;
                           return name;
                         });

TEST(StagedFile, a_file_dropped_before_its_commit_leaves_nothing_and_the_old_file) {
  const TempFolder folder;
  std::ofstream(folder / "a.txt") << "old";
  {
    files::StagedFile staged(folder / "a.txt");
    staged.stream() << "new";
    staged.flush();
  }
  {
    files::ScratchFile scratch(folder / "a.txt");
    scratch.stream() << "scratch";
  }
  EXPECT_EQ(snapshotOf(folder.path()), (std::map<std::string, std::string>{{"a.txt", "old"}}));
}

TEST(StagedFile, a_folder_that_is_not_there_is_named_with_the_file) {
  const TempFolder folder;
  const fs::path file = folder / "missing" / "a.txt";
  try {
    files::StagedFile staged(file);
    ADD_FAILURE() << "opened a file in a missing folder";
  } catch (const files::FileWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              file.string() + ": cannot write: No such file or directory");
    EXPECT_EQ(error.reason(), std::errc::no_such_file_or_directory);
  }
}

}  // namespace
}  // namespace kvm::testing
