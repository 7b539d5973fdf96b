#include "convert/effectpresets.h"
#include "convert/toolcommand.h"
#include "support/testenvironment.h"

using namespace inkvale;

class ToolCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void presetsInSelectorOrder()
    {
        QStringList names;
        for (const EffectPreset &preset : effectPresets()) {
            names.append(preset.name);
        }
        QCOMPARE(names, (QStringList{"Cartoon", "Comicbook", "Cutout", "Lineart", "Pen Drawing"}));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("parameterArgument");

        QTest::newRow("Cartoon")
            << "Cartoon"
            << R"(gmic "/p/in put.jpg" cartoon 2.208,181.53,28.177,0.248,2.6505,128,"0",nan,nan -o "/t/zemcartoon.png")"
            << "2.208,181.53,28.177,0.248,2.6505,128,0,nan,nan";
        QTest::newRow("Comicbook")
            << "Comicbook"
            << R"(gmic "/p/in put.jpg" cl_comic 0,2,0,1,1,15,15,1,10,20,6,2,0,0,0,0,0,"0",nan,nan -o "/t/zemcartoon.png")"
            << "0,2,0,1,1,15,15,1,10,20,6,2,0,0,0,0,0,0,nan,nan";
        QTest::newRow("Cutout")
            << "Cutout"
            << R"(gmic "/p/in put.jpg" fx_cutout 4,0.5,4,1,"0",nan,nan -o "/t/zemcartoon.png")"
            << "4,0.5,4,1,0,nan,nan";
        QTest::newRow("Lineart")
            << "Lineart"
            << R"(gmic "/p/in put.jpg" cl_lineart 0,0,2,1,15,15,1,0,6,2,2,0,0,"0",nan,nan -o "/t/zemcartoon.png")"
            << "0,0,2,1,15,15,1,0,6,2,2,0,0,0,nan,nan";
        QTest::newRow("Pen Drawing")
            << "Pen Drawing"
            << R"(gmic "/p/in put.jpg" fx_pen_drawing 10,"0",nan,nan -o "/t/zemcartoon.png")"
            << "10,0,nan,nan";
    }

    void commandLine()
    {
        QFETCH(QString, effect);
        QFETCH(QString, expected);
        QFETCH(QString, parameterArgument);
        const ToolCommand command = ToolCommand::forEffect(effect, QStringLiteral("/p/in put.jpg"),
                                                           QStringLiteral("/t/zemcartoon.png"));
        QCOMPARE(command.commandLine, expected);
        // The arguments are what the tool's runtime makes of that line: quotes gone.
        QCOMPARE(command.arguments,
                 (QStringList{"/p/in put.jpg", findEffectPreset(effect)->commandWord,
                              parameterArgument, "-o", "/t/zemcartoon.png"}));
    }

    // Inkvale's own recipes: the command file first, the input, the recipe's command word.
    void recipeCommandLine_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Comicbook")
            << "Comicbook"
            << R"(gmic -m "/p f/inkvale-recipes.gmic" "/p/in put.jpg" inkvale_comicbook -o "/t/zemcartoon.png")";
        QTest::newRow("Lineart")
            << "Lineart"
            << R"(gmic -m "/p f/inkvale-recipes.gmic" "/p/in put.jpg" inkvale_lineart -o "/t/zemcartoon.png")";
        QTest::newRow("Cartoon has none") << "Cartoon"
                                          << "";
        QTest::newRow("unknown effect") << "comicbook"
                                        << "";
    }

    void recipeCommandLine()
    {
        QFETCH(QString, effect);
        QFETCH(QString, expected);
        const ToolCommand command = ToolCommand::forRecipe(
            effect, QStringLiteral("/p f/inkvale-recipes.gmic"), QStringLiteral("/p/in put.jpg"),
            QStringLiteral("/t/zemcartoon.png"));
        QCOMPARE(command.commandLine, expected);
        if (expected.isEmpty()) {
            QVERIFY(command.arguments.isEmpty());
            return;
        }
        QCOMPARE(command.arguments,
                 (QStringList{"-m", "/p f/inkvale-recipes.gmic", "/p/in put.jpg",
                              findEffectPreset(effect)->recipeCommand, "-o", "/t/zemcartoon.png"}));
    }

    void effectNamesAreCaseSensitive_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::newRow("lower case") << "cartoon";
        QTest::newRow("upper case") << "PEN DRAWING";
        QTest::newRow("trailing space") << "Cutout ";
        QTest::newRow("empty") << "";
    }

    void effectNamesAreCaseSensitive()
    {
        QFETCH(QString, effect);
        QVERIFY(findEffectPreset(effect) == nullptr);
        const ToolCommand command =
            ToolCommand::forEffect(effect, QStringLiteral("/in.png"), QStringLiteral("/out.png"));
        QVERIFY(command.isEmpty());
        QVERIFY(command.arguments.isEmpty());
    }
};

INKVALE_TEST_MAIN(ToolCommandTest)
#include "toolcommand_test.moc"
