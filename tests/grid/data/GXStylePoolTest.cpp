#include "grid/data/GXStylePool.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

CGXStyle ValueStyle(int n)
{
    CGXStyle style;
    style.SetValue(("v" + std::to_string(n)).c_str());
    return style;
}

} // namespace

// References taken and released in random order, checked against a count of users per value:
// equal styles share one copy while any user holds it, the table counts exactly the styles
// still used, and every style stays findable however others were taken out before it (the
// table closes the gaps that removals leave in its probe runs, across its growth too).
TEST(GXStylePoolTest, SharesAndFreesStylesInAnyOrder)
{
    GXStylePool pool;
    std::mt19937 rng(7);
    std::vector<std::pair<int, GXStyleRef>> held;
    std::map<int, int> users;
    for (int step = 0; step < 60000; ++step) {
        const bool bTake = held.empty() || rng() % 5 < 3;
        if (bTake) {
            const int n = static_cast<int>(rng() % 5000);
            GXStyleRef ref = pool.Intern(ValueStyle(n));
            ASSERT_EQ(*ref.get(), ValueStyle(n));
            for (const auto& [m, other] : held)
                if (m == n) {
                    ASSERT_EQ(other.get(), ref.get()) << "value " << n << " has two copies";
                    break;
                }
            held.emplace_back(n, std::move(ref));
            ++users[n];
        } else {
            const size_t i = rng() % held.size();
            if (--users[held[i].first] == 0)
                users.erase(held[i].first);
            held[i] = std::move(held.back());
            held.pop_back();
        }
        ASSERT_EQ(pool.GetCount(), users.size());
    }
    // Every value still held is found again, not copied anew.
    for (const auto& [n, ref] : held)
        ASSERT_EQ(pool.Intern(ValueStyle(n)).get(), ref.get());
    held.clear();
    EXPECT_EQ(pool.GetCount(), 0u);
}

// Texts that differ only after a NUL inside them (a pasted styles block can hold such a value)
// are different styles: equal styles hash alike, and the pool never hands out one for the other.
TEST(GXStylePoolTest, ATextWithANulInsideIsItsOwnStyle)
{
    CGXStyle plain, withNul, attrPlain, attrNul;
    plain.SetValue("42");
    withNul.SetValue(CString("42\0", 3));
    attrPlain.SetUserAttribute(1, CString("x"));
    attrNul.SetUserAttribute(1, CString("x\0", 2));
    EXPECT_FALSE(plain == withNul);
    EXPECT_FALSE(attrPlain == attrNul);

    GXStylePool pool;
    GXStyleRef first = pool.Intern(withNul);
    GXStyleRef second = pool.Intern(plain);   // right after: the pool's last style is the other
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second.get()->GetValue().GetLength(), 2);
    EXPECT_EQ(second.get()->GetHash(), plain.GetHash());
    EXPECT_NE(first.get(), second.get());
}
