#include "item_kinds_fixture.h"

namespace {

using IdentificationTest = ItemKindsTest;

TEST_F(IdentificationTest, DisplayNamesByClassAndState)
{
    m_items->kindState[136] = 2; // the second potion is known
    m_items->nicknames[181] = "たぶん識別";
    CItemControl::SItem pot = Item(350, 4);
    pot.slots[0] = 12;
    CItemControl::SItem staff = Item(230, 3);
    staff.extra[0] = std::uint8_t(-2);
    CItemControl::SItem gold = Item(0);
    gold.AddValue(150);
    const struct
    {
        CItemControl::SItem item;
        const char* name;
    } cases[] = {
        {Item(3, 0, 0x0001), "長剣"},
        {Item(3, -2, 0x0001), "長剣-2"},
        {Item(3, 4, 0x0001), "長剣+4"},
        {Item(3, 4), "長剣"},
        {Item(28, 0), "磨き上げた剣"},
        {Item(28, 51, 0x0001), "鍛え抜かれた剣+51"},
        {Item(28, -1, 0x0001), "錆びた剣-1"},
        {Item(75, 50), "磨き上げた盾"},
        {Item(100, 12), "12本の木の矢"},
        {Item(100, 1), "木の矢"},
        {gold, "150ゴールド"},
        {pot, "大きな壺[3]"},
        {Item(180, 0, 0x0081), "ぬれた巻物"},
        {Item(180, 0, 0x0181), "凍った巻物"},
        {Item(120, 0, 0x0080), "デロデロおにぎり"},
        {Item(120, 0, 0x0100), "凍ったおにぎり"},
        {Item(135, 0, 0x0100), "凍った水薬"},
        {Item(270, 2, 0x0100), "凍ったインクのペン"},
        {Item(135), "青い水薬"},
        {Item(136), "回復薬"},
        {Item(180), "イの巻物"},
        {Item(181), "巻物：たぶん識別"},
        {staff, "[-2]"},
        {Item(230, 3, 0x0002), "[3]"},
        {Item(270, 2, 0x0001), "青いインクのペン[2]"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(m_items->GetDisplayName(c.item).c_str(), c.name) << c.name;
    EXPECT_FALSE(Item(180, 0, 0x0081).IsIdentified());
    EXPECT_STREQ(m_items->GetDisplayName(CItemControl::SItem()).c_str(), "");

    m_items->SetKindNickname(181, "");
    EXPECT_STREQ(m_items->GetDisplayName(Item(181)).c_str(), "アの巻物");
    m_items->SetKindNickname(181, "あれ");
    m_items->SetKindNickname(181, "これ");
    EXPECT_STREQ(m_items->nicknames[181].c_str(), "これ");
}

TEST_F(IdentificationTest, MessagesNameItemsByIndexInTheirColour)
{
    m_items->items[1] = Item(135);
    m_items->items[2] = Item(3, 99, 0x0001);
    m_items->items[3] = Item(136, 0, 0x0004);
    m_items->kindState[136] = 2;
    EXPECT_STREQ(GetColoredItemNameByIndex(*m_items, 1).c_str(), "#y青い水薬#");
    EXPECT_STREQ(GetColoredItemNameByIndex(*m_items, 2).c_str(), "#r長剣+99#");
    EXPECT_STREQ(GetColoredItemNameByIndex(*m_items, 3).c_str(), "#b回復薬#");
    EXPECT_STREQ(GetColoredItemNameByIndex(*m_items, 5000).c_str(), "#7#"); // the empty item
    EXPECT_STREQ(GetColoredTrapName(*m_items, 0).c_str(), "#6#");
}

TEST_F(IdentificationTest, AppearanceNumbersOfTheHiddenClasses)
{
    const std::pair<std::int32_t, std::int32_t> cases[] = {{135, 1},  {139, 0}, {181, 0},  {350, 0},
                                                           {140, -1}, {3, -1},  {100, -1}, {-1, -1}};
    for (auto [kind, number] : cases)
        EXPECT_EQ(m_items->GetAppearanceNumber(kind), number) << kind;
}

TEST_F(IdentificationTest, ResetKnowsTheDungeonsClasses)
{
    m_items->nicknames[181] = "x";
    m_items->ResetIdentification(2);
    EXPECT_TRUE(m_items->nicknames.empty());
    for (std::int32_t kind = 0; kind < kKinds; ++kind) {
        const std::int32_t itemClass = m_items->kinds[std::size_t(kind)].classId;
        const bool known =
            (itemClass >= 3 && itemClass <= 6) || itemClass == 11 || kind == 198 || kind == 350;
        ASSERT_EQ(m_items->kindState[std::size_t(kind)], known ? 2 : 0) << kind;
    }
    m_items->kindState[3] = 1;
    m_items->ResetIdentification(8);
    EXPECT_EQ(m_items->kindState[3], 1);
}

TEST_F(IdentificationTest, IdentifyingItemsAndKinds)
{
    m_items->itemMark = 3;
    m_items->items[0] = Item(310, 0, 0x0002);
    m_items->items[1] = Item(310);
    m_items->items[2] = Item(310);
    m_items->nicknames[310] = "石";

    // A partial identification only marks the kind tried.
    m_items->IdentifyItem(m_items->items[2], true);
    EXPECT_EQ(m_items->kindState[310], 1);
    EXPECT_EQ(m_items->items[2].flags, 0x0002);
    EXPECT_FALSE(m_items->items[2].IsIdentified());
    EXPECT_TRUE(m_items->items[1].IsKnownOrTried());
    EXPECT_TRUE(m_items->IsKindIdentified(310, true));
    EXPECT_FALSE(m_items->IsKindIdentified(310, false));
    EXPECT_TRUE(m_items->IsKindUnidentified(310));

    CItemControl::SItem loose = Item(310);
    m_items->IdentifyItem(loose, false);
    EXPECT_EQ(loose.flags, 0x0003);
    EXPECT_EQ(m_items->kindState[310], 2);
    EXPECT_EQ(m_items->nicknames.count(310), 0u);
    // The examined ones become identified; the untried one is known through its kind.
    EXPECT_EQ(m_items->items[0].flags, 0x0003);
    EXPECT_EQ(m_items->items[2].flags, 0x0003);
    EXPECT_EQ(m_items->items[1].flags, 0);
    EXPECT_TRUE(m_items->items[1].IsIdentified());
    EXPECT_FALSE(m_items->IsKindUnidentified(310));

    // A weapon is always identified whole, a later partial one of a known kind as well.
    CItemControl::SItem sword = Item(3);
    m_items->IdentifyItem(sword, true);
    EXPECT_EQ(sword.flags, 0x0003);
    CItemControl::SItem stone = Item(310);
    m_items->IdentifyItem(stone, true);
    EXPECT_EQ(stone.flags, 0x0003);
    CItemControl::SItem nothing;
    m_items->IdentifyItem(nothing, false);
    EXPECT_EQ(nothing.flags, 0);

    m_items->MarkKindSeen(3);   // a weapon, always
    m_items->MarkKindSeen(135); // unknown: not yet
    m_items->MarkKindSeen(-1);
    EXPECT_EQ(m_items->IsKindSeen(3), 1);
    EXPECT_EQ(m_items->IsKindSeen(135), 0);
    EXPECT_EQ(m_items->IsKindSeen(kKinds), 0);
}

TEST_F(IdentificationTest, ShortNamesCircleNamesAndKindLists)
{
    Kind(231, 7, "ばしゃの杖の先");
    Kind(232, 7, "杖");
    EXPECT_STREQ(m_items->GetKindShortName(231).c_str(), "ばしゃの杖");
    EXPECT_STREQ(m_items->GetKindShortName(232).c_str(), "杖");
    EXPECT_STREQ(m_items->GetKindShortName(-1).c_str(), "");

    EXPECT_STREQ(m_items->GetMagicCircleName(270).c_str(), "青い魔法陣");
    m_items->nicknames[270] = "謎";
    EXPECT_STREQ(m_items->GetMagicCircleName(270).c_str(), "魔法陣：謎");
    m_items->kindState[270] = 2;
    EXPECT_STREQ(m_items->GetMagicCircleName(270).c_str(), "平常の魔法陣");

    // In number order; the growing weapon only once seen.
    m_items->kinds[4].number = 99;
    std::vector<std::int32_t> list;
    m_items->ListKindsOfClass(1, list);
    ASSERT_EQ(list.size(), 32u);
    EXPECT_EQ(list.front(), 3);
    EXPECT_EQ(list.back(), 4);
    EXPECT_EQ(std::count(list.begin(), list.end(), 34), 0);
    m_items->seen[34] = 1;
    m_items->ListKindsOfClass(1, list);
    EXPECT_EQ(std::count(list.begin(), list.end(), 34), 1);

    m_items->kinds[135].token = "かいふく";
    m_items->kinds[136].token = "かいりき";
    m_items->kinds[137].token = "ちから";
    m_items->seen[135] = m_items->seen[136] = m_items->seen[137] = 1;
    m_items->ListKindsOfClassMatching("かい", list, 5);
    EXPECT_EQ(list, (std::vector<std::int32_t>{135, 136}));
    m_items->ListKindsOfClassMatching("", list, 5);
    EXPECT_EQ(list, (std::vector<std::int32_t>{135, 136, 137}));
}

} // namespace
