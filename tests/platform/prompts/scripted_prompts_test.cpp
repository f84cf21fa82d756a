#include "platform/prompts/scripted_prompts.h"

#include <gtest/gtest.h>

namespace lyricade {
namespace {

TEST(ScriptedPrompts, RecordsEveryBoxAndAnswersFromTheQueue) {
  ScriptedPrompts prompts;
  prompts.QueueAnswer(PromptAnswer::Yes);
  EXPECT_EQ(prompts.Message("Clear Database", "Are you sure?", PromptButtons::YesNo, PromptIcon::Question),
            PromptAnswer::Yes);
  EXPECT_EQ(prompts.Message("Note", "Done", PromptButtons::Ok, PromptIcon::Information), PromptAnswer::Ok);
  ASSERT_EQ(prompts.Shown().size(), 2u);
  EXPECT_EQ(prompts.Shown()[0].Caption, "Clear Database");
  EXPECT_EQ(prompts.Shown()[0].Text, "Are you sure?");
  EXPECT_EQ(prompts.Shown()[0].Buttons, PromptButtons::YesNo);
  EXPECT_EQ(prompts.Shown()[1].Icon, PromptIcon::Information);
}

TEST(ScriptedPrompts, AnUnexpectedQuestionNeverConfirms) {
  ScriptedPrompts prompts;
  EXPECT_EQ(prompts.Message("c", "t", PromptButtons::YesNo, PromptIcon::None), PromptAnswer::No);
  EXPECT_EQ(prompts.Message("c", "t", PromptButtons::YesNoCancel, PromptIcon::None), PromptAnswer::Cancel);
  EXPECT_EQ(prompts.Message("c", "t", PromptButtons::OkCancel, PromptIcon::None), PromptAnswer::Cancel);
  EXPECT_FALSE(prompts.Input("t", "p", "", 10).has_value());
  EXPECT_FALSE(prompts.OpenFile("t", {}).has_value());
  EXPECT_FALSE(prompts.ChooseFolder("t", "").has_value());
  EXPECT_FALSE(prompts.ChooseColour({}).has_value());
  EXPECT_EQ(prompts.Shown().size(), 7u);
}

TEST(ScriptedPrompts, InputIsCutToItsLengthAndChoosersAnswerInOrder) {
  ScriptedPrompts prompts;
  prompts.QueueInput("Bartholomew the Magnificent");
  auto name = prompts.Input("Edit Singer Name", "Name:", "Bart", 11);
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(*name, "Bartholomew");
  EXPECT_EQ(prompts.Shown()[0].Initial, "Bart");
  EXPECT_EQ(prompts.Shown()[0].MaxLength, 11);

  prompts.QueueFiles({"/a.dds", "/b.dds"});
  prompts.QueueFiles({"/c.mp3", "/d.mp3"});
  EXPECT_EQ(prompts.OpenFile("Add", {{"Image Files (*.dds)", "*.dds"}}), "/a.dds");
  EXPECT_EQ(prompts.OpenFiles("Add", {}, "", true), (std::vector<std::string>{"/c.mp3", "/d.mp3"}));
  EXPECT_EQ(prompts.Shown()[1].Filters.front().Patterns, "*.dds");

  prompts.QueueColour(RgbColour{240, 0, 16});
  EXPECT_EQ(prompts.ChooseColour({}), (RgbColour{240, 0, 16}));
}

}  // namespace
}  // namespace lyricade
