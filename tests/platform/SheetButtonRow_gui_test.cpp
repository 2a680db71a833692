#include "platform/SheetButtonRow.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

TEST(SheetButtonRow, PutsCancelBeforeTheDefaultConfirmButtonOnTheRight)
{
    QDialog sheet;
    const platform::SheetButtonRow row = platform::makeSheetButtonRow(&sheet, QStringLiteral("Agregar"));
    auto* col = new QVBoxLayout(&sheet);
    col->addLayout(row.layout);

    EXPECT_EQ(row.cancel->text(), "Cancelar");
    EXPECT_EQ(row.confirm->text(), "Agregar");
    EXPECT_TRUE(row.confirm->isDefault());
    EXPECT_FALSE(row.cancel->isDefault());
    ASSERT_EQ(row.layout->count(), 3);
    EXPECT_TRUE(row.layout->itemAt(0)->spacerItem());
    EXPECT_EQ(row.layout->itemAt(1)->widget(), row.cancel);
    EXPECT_EQ(row.layout->itemAt(2)->widget(), row.confirm);
    EXPECT_EQ(row.cancel->parent(), &sheet);
}

TEST(SheetButtonRow, ShortcutsClickTheirButtons)
{
    struct Case {
        QKeySequence keys;
        bool confirms;
    };
    const Case cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Escape), false},
        {QKeySequence(Qt::CTRL | Qt::Key_Return), true},
        {QKeySequence(Qt::CTRL | Qt::Key_Enter), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.toString().toStdString());
        QDialog sheet;
        const platform::SheetButtonRow row = platform::makeSheetButtonRow(&sheet, QStringLiteral("Aplicar"));
        int cancelled = 0;
        int confirmed = 0;
        QObject::connect(row.cancel, &QPushButton::clicked, [&cancelled] { ++cancelled; });
        QObject::connect(row.confirm, &QPushButton::clicked, [&confirmed] { ++confirmed; });
        int found = 0;
        for (QShortcut* s : sheet.findChildren<QShortcut*>()) {
            if (s->key() == c.keys) {
                ++found;
                emit s->activated();
            }
        }
        EXPECT_EQ(found, 1);
        EXPECT_EQ(confirmed, c.confirms ? 1 : 0);
        EXPECT_EQ(cancelled, c.confirms ? 0 : 1);
    }
}

}  // namespace
