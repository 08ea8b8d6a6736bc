#include "runtime/gui/drop_effect.h"

#include <gtest/gtest.h>

#include "platform/win32/ole32.h"

namespace {

constexpr std::uint32_t ALL = ACTION_COPY | ACTION_MOVE | ACTION_LINK;

TEST(DropChooseEffect, WithOnlyCopyAllowedKeysDoNotMatter) {
  for (std::uint32_t keys : {0u, 0x4u, 0x8u, 0xCu, 0x20u}) {
    SCOPED_TRACE(keys);
    EXPECT_EQ(drop_choose_effect(keys, ACTION_COPY, ALL), ACTION_COPY);
    EXPECT_EQ(drop_choose_effect(keys, ACTION_COPY, ACTION_COPY), ACTION_COPY);
    EXPECT_EQ(drop_choose_effect(keys, ACTION_COPY, ACTION_MOVE), 0u) << "a move-only source is refused";
    EXPECT_EQ(drop_choose_effect(keys, ACTION_COPY, ACTION_LINK), 0u);
  }
}

TEST(DropChooseEffect, KeysPickLinkOrMoveWhenBothSidesAllowThem) {
  EXPECT_EQ(drop_choose_effect(MK_CONTROL | MK_SHIFT, ALL, ALL), ACTION_LINK);
  EXPECT_EQ(drop_choose_effect(MK_ALT, ALL, ALL), ACTION_LINK);
  EXPECT_EQ(drop_choose_effect(MK_SHIFT, ALL, ALL), ACTION_MOVE);
  EXPECT_EQ(drop_choose_effect(0, ALL, ALL), ACTION_COPY);
  EXPECT_EQ(drop_choose_effect(MK_CONTROL, ALL, ALL), ACTION_COPY);
  // Mouse buttons in the key state are not keys.
  EXPECT_EQ(drop_choose_effect(MK_SHIFT | MK_LBUTTON, ALL, ALL), ACTION_MOVE);
}

TEST(DropChooseEffect, MoveWhenCopyIsImpossibleThenLinkThenNothing) {
  EXPECT_EQ(drop_choose_effect(0, ACTION_MOVE | ACTION_LINK, ALL), ACTION_MOVE);
  EXPECT_EQ(drop_choose_effect(MK_ALT, ACTION_MOVE, ALL), ACTION_MOVE);
  EXPECT_EQ(drop_choose_effect(0, ACTION_LINK, ALL), ACTION_LINK);
  EXPECT_EQ(drop_choose_effect(0, 0, ALL), 0u);
  EXPECT_EQ(drop_choose_effect(0, ALL, 0), 0u);
}

}  // namespace
