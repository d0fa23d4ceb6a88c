#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/temporary_names.h"
#include "platform/cairo/shop/shop_pdf.h"
#include "shop/page_writer.h"
#include "tests/shop/sample_book.h"

namespace kvm::cairo {
namespace {

namespace fs = std::filesystem;

class shop_pdf_test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kvm-shop-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

std::string head(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes(5, '\0');
  in.read(bytes.data(), 5);
  return bytes;
}

TEST_F(shop_pdf_test, writes_a_pdf_in_place_of_an_older_one) {
  const fs::path file = dir_ / "shop.pdf";
  std::ofstream(file) << "old";
  writeShopPdf(file, shop::testing::sampleBook());
  EXPECT_EQ(head(file), "%PDF-");
  EXPECT_GT(fs::file_size(file), 1000U);
  EXPECT_FALSE(fs::exists(dir_ / "shop.pdf.part"));
}

TEST_F(shop_pdf_test, broken_text_is_drawn_with_replacement_characters) {
  shop::ShopBook book = shop::testing::sampleBook();
  book.flashings[0].name = "屋脊\xE5\x8C包角";    // a character cut short
  book.flashings[1].colour = "\xFF\xED\xA0\x80";  // no UTF-8 at all, a surrogate
  const fs::path file = dir_ / "shop.pdf";
  writeShopPdf(file, book);
  // One replacement for each ill-formed part: the cut character is one.
  EXPECT_EQ(shop::validUtf8(book.flashings[0].name), "屋脊\uFFFD包角");
  EXPECT_EQ(shop::validUtf8("\xFF\xED\xA0\x80"
                            "a"),
            "\uFFFD\uFFFD\uFFFD\uFFFDa");
  // Drawing went on to the last page: the PDF ends with its trailer.
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(bytes.rfind("%%EOF"), std::string::npos);
  const CairoTextMeasure measure;
  const std::size_t pages = shop::layoutShopBook(book, measure).pages.size();
  EXPECT_NE(bytes.find("/Count " + std::to_string(pages)), std::string::npos);
}

TEST_F(shop_pdf_test, a_failed_write_names_the_file_and_leaves_nothing) {
  const fs::path file = dir_ / "missing" / "shop.pdf";
  try {
    writeShopPdf(file, shop::testing::sampleBook());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), file.string() + ": cannot write: No such file or directory");
  }
  // A folder where the file belongs stays as it was.
  fs::create_directories(dir_ / "shop.pdf" / "inside");
  EXPECT_THROW(writeShopPdf(dir_ / "shop.pdf", shop::testing::sampleBook()), std::runtime_error);
  EXPECT_TRUE(fs::is_directory(dir_ / "shop.pdf" / "inside"));
  EXPECT_FALSE(fs::exists(dir_ / "shop.pdf.part"));
}

TEST_F(shop_pdf_test, a_full_disk_is_reported_as_such) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // Writing into /dev/full fails at the first flush with the system's reason.
  fs::create_symlink("/dev/full", files::stagedPathFor(dir_ / "shop.pdf"));
  try {
    writeShopPdf(dir_ / "shop.pdf", shop::testing::sampleBook());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(dir_ / "shop.pdf"));
}

}  // namespace
}  // namespace kvm::cairo
