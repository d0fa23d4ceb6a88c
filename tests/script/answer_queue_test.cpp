#include "platform/script/answer_queue.h"

#include <gtest/gtest.h>

#include "platform/script/script_stop.h"

namespace kvm::script {
namespace {

TEST(answer_queue, ok_only_box_takes_a_queued_ok_and_otherwise_leaves_the_queue) {
  AnswerQueue queue;
  EXPECT_EQ(queue.answer("empty", "ok"), "ok");
  queue.push("yes");
  EXPECT_EQ(queue.answer("yes waits", "ok"), "ok");
  EXPECT_EQ(queue.answer("question", "yesno"), "yes");
  queue.push("ok");
  queue.push("no");
  EXPECT_EQ(queue.answer("takes the ok", "ok"), "ok");
  EXPECT_EQ(queue.answer("question", "yesnocancel"), "no");
}

TEST(answer_queue, other_boxes_take_the_oldest_answer_among_their_buttons) {
  AnswerQueue queue;
  for (const char* word : {"ok", "cancel", "cancel", "yes", "no"}) {
    queue.push(word);
  }
  EXPECT_EQ(queue.answer("a", "okcancel"), "ok");
  EXPECT_EQ(queue.answer("b", "okcancel"), "cancel");
  EXPECT_EQ(queue.answer("c", "yesnocancel"), "cancel");
  EXPECT_EQ(queue.answer("d", "yesno"), "yes");
  EXPECT_EQ(queue.answer("e", "yesnocancel"), "no");
}

TEST(answer_queue, stops_when_no_answer_fits_and_keeps_the_answer) {
  AnswerQueue queue;
  try {
    (void)queue.answer("界面设置已改变,要保存吗？", "yesnocancel");
    ADD_FAILURE() << "an empty queue answered";
  } catch (const ScriptStop& stop) {
    EXPECT_STREQ(stop.what(),
                 "no answer queued for the message box \"界面设置已改变,要保存吗？\" "
                 "(yesnocancel)");
  }
  queue.push("cancel");
  EXPECT_THROW((void)queue.answer("save?", "yesno"), ScriptStop);
  queue.push("maybe");
  EXPECT_EQ(queue.answer("still there", "okcancel"), "cancel");
  EXPECT_THROW((void)queue.answer("unknown word", "yesnocancel"), ScriptStop);
}

}  // namespace
}  // namespace kvm::script
