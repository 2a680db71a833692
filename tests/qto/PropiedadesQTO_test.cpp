#include "qto/PropiedadesQTO.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace quelva;

TEST(PropiedadesQTO, EachItemReadsBackItsOwnDictionaryFromTheSharedStore)
{
    // Key sets that change from one element to the next, as in a model mixing classes.
    const std::vector<PropiedadesElementoIFC> dicts = {
        {{"A › 1", "a1"}, {"B › 2", "b2"}, {"C › 3", "c3"}},
        {{"A › 1", "otro"}, {"C › 3", ""}},
        {{"B › 2", "$"}},
        {},
        {{"A › 1", "a1"}, {"B › 2", "b2"}, {"C › 3", "c3"}, {"D › 4", "dé"}},
        {{"C › 3", "x"}, {"D › 4", "y"}},
    };
    auto almacen = std::make_shared<AlmacenPropiedadesQTO>();
    std::vector<PropiedadesQTO> items;
    for (const auto& d : dicts)
        items.emplace_back(almacen, almacen->agregar(d), std::uint32_t(d.size()));

    EXPECT_EQ(almacen->cuentaClaves(), 4u);
    for (size_t i = 0; i < dicts.size(); ++i) {
        EXPECT_EQ(items[i].size(), dicts[i].size());
        for (const char* k : {"A › 1", "B › 2", "C › 3", "D › 4", "E › 5"}) {
            const auto it = dicts[i].find(k);
            const std::optional<std::string_view> v = items[i].valor(k);
            ASSERT_EQ(v.has_value(), it != dicts[i].end());
            if (v) {
                EXPECT_EQ(*v, it->second);
            }
        }
        PropiedadesElementoIFC leido;
        items[i].paraCada([&](auto, std::string_view k, std::string_view v) { leido[std::string(k)] = std::string(v); });
        EXPECT_EQ(leido, dicts[i]);
        EXPECT_EQ(items[i], PropiedadesQTO::desde(dicts[i]));
    }
    EXPECT_FALSE(items[0] == items[4]);
    EXPECT_TRUE(PropiedadesQTO().vacio());
    EXPECT_EQ(PropiedadesQTO().valor("A › 1"), std::nullopt);
}
