#include "convert/effectpresets.h"
#include "convert/effectscaling.h"
#include "convert/toolcommand.h"
#include "platform/toolprocess.h"
#include "support/testenvironment.h"

#include <cmath>
#include <QSize>

using namespace inkvale;

namespace {

// The lines in the tables name the tool as on Linux; on Windows it is gmic.exe.
QString onThisSystem(const QString &line)
{
    return line.startsWith(QStringLiteral("gmic ")) ? platform::toolFileName() + line.mid(4) : line;
}

} // namespace

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
        QCOMPARE(command.commandLine, onThisSystem(expected));
        // The arguments are what the tool's runtime makes of that line: quotes gone.
        QCOMPARE(command.arguments,
                 (QStringList{"/p/in put.jpg", findEffectPreset(effect)->commandWord,
                              parameterArgument, "-o", "/t/zemcartoon.png"}));
    }

    // Above the reference the spatial parameters grow with the picture (colours, counts and the
    // quoted 0 stay), or the effect runs Inkvale's scaled recipe; at it, the preset's line.
    void scaledCommandLine_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("arguments");

        const QString recipes = QStringLiteral(R"(gmic -m "/r/inkvale-recipes.gmic" "/in.png" )");
        const QStringList recipeStart{"-m", "/r/inkvale-recipes.gmic", "/in.png"};
        const QStringList end{"-o", "/out.png"};
        // The scale first, then the preset's own parameters.
        QTest::newRow("Cartoon x1.5: scaled recipe")
            << "Cartoon" << 1.5
            << recipes +
                   R"(_inkvale_cartoon 1.5,2.208,181.53,28.177,0.248,2.6505,128,"0",nan,nan -o "/out.png")"
            << recipeStart +
                   QStringList{"_inkvale_cartoon",
                               "1.5,2.208,181.53,28.177,0.248,2.6505,128,0,nan,nan"} +
                   end;
        QTest::newRow("Cutout x5: scaled recipe")
            << "Cutout" << 5.0
            << recipes + R"(_inkvale_cutout 5,4,0.5,4,1,"0",nan,nan -o "/out.png")"
            << recipeStart + QStringList{"_inkvale_cutout", "5,4,0.5,4,1,0,nan,nan"} + end;
        QTest::newRow("Pen Drawing x2.8864: scaled recipe")
            << "Pen Drawing" << 2.8864
            << recipes + R"(_inkvale_pen_drawing 2.8864,10,"0",nan,nan -o "/out.png")"
            << recipeStart + QStringList{"_inkvale_pen_drawing", "2.8864,10,0,nan,nan"} + end;
        // Their own commands are not known here; Inkvale's recipes scale themselves.
        for (const char *effect : {"Comicbook", "Lineart"}) {
            const EffectPreset *preset = findEffectPreset(effect);
            QTest::addRow("%s stays", effect)
                << effect << 5.0
                << QStringLiteral(R"(gmic "/in.png" %1 %2 -o "/out.png")")
                       .arg(preset->commandWord, preset->parameters)
                << QStringList{"/in.png", preset->commandWord, preset->parameterArgument()} + end;
        }
        for (const EffectPreset &preset : effectPresets()) {
            QTest::addRow("%s at the reference", qPrintable(preset.name))
                << preset.name << 1.0
                << QStringLiteral(R"(gmic "/in.png" %1 %2 -o "/out.png")")
                       .arg(preset.commandWord, preset.parameters)
                << QStringList{"/in.png", preset.commandWord, preset.parameterArgument()} + end;
        }
    }

    void scaledCommandLine()
    {
        QFETCH(QString, effect);
        QFETCH(double, scale);
        QFETCH(QString, expected);
        QFETCH(QStringList, arguments);
        const ToolCommand command =
            ToolCommand::forEffect(effect, QStringLiteral("/in.png"), QStringLiteral("/out.png"),
                                   scale, QStringLiteral("/r/inkvale-recipes.gmic"));
        QCOMPARE(command.commandLine, onThisSystem(expected));
        QCOMPARE(command.arguments, arguments);
    }

    void scaleFactorFollowsTheDiagonal_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<double>("factor");
        QTest::newRow("the reference, 800x600") << QSize(800, 600) << 1.0;
        QTest::newRow("upright reference") << QSize(600, 800) << 1.0;
        QTest::newRow("tiny picture keeps the preset") << QSize(20, 10) << 1.0;
        QTest::newRow("empty picture") << QSize(0, 0) << 1.0;
        QTest::newRow("twice the reference") << QSize(1600, 1200) << 2.0;
        QTest::newRow("12 megapixels") << QSize(4000, 3000) << 5.0;
        QTest::newRow("panorama") << QSize(6000, 800) << std::hypot(6000.0, 800.0) / 1000;
    }

    void scaleFactorFollowsTheDiagonal()
    {
        QFETCH(QSize, picture);
        QFETCH(double, factor);
        QCOMPARE(effectScaleFactor(picture), factor);
    }

    // Inkvale's own recipes: the command file first, the size of the whole picture when the
    // input is a region of it, the input, the recipe's command word.
    void recipeCommandLine_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QSize>("scaledFor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Comicbook")
            << "Comicbook" << QSize()
            << R"(gmic -m "/p f/inkvale-recipes.gmic" "/p/in put.jpg" inkvale_comicbook -o "/t/zemcartoon.png")";
        QTest::newRow("Lineart")
            << "Lineart" << QSize()
            << R"(gmic -m "/p f/inkvale-recipes.gmic" "/p/in put.jpg" inkvale_lineart -o "/t/zemcartoon.png")";
        QTest::newRow("a region of a larger picture")
            << "Comicbook" << QSize(4000, 3000)
            << R"(gmic -m "/p f/inkvale-recipes.gmic" _inkvale_scaled_for=4000,3000 "/p/in put.jpg" inkvale_comicbook -o "/t/zemcartoon.png")";
        QTest::newRow("Cartoon has none") << "Cartoon" << QSize() << "";
        QTest::newRow("unknown effect") << "comicbook" << QSize() << "";
    }

    void recipeCommandLine()
    {
        QFETCH(QString, effect);
        QFETCH(QSize, scaledFor);
        QFETCH(QString, expected);
        const ToolCommand command = ToolCommand::forRecipe(
            effect, QStringLiteral("/p f/inkvale-recipes.gmic"), QStringLiteral("/p/in put.jpg"),
            QStringLiteral("/t/zemcartoon.png"), scaledFor);
        QCOMPARE(command.commandLine, onThisSystem(expected));
        if (expected.isEmpty()) {
            QVERIFY(command.arguments.isEmpty());
            return;
        }
        QStringList arguments{"-m", "/p f/inkvale-recipes.gmic"};
        if (scaledFor.isValid()) {
            arguments.append(QStringLiteral("_inkvale_scaled_for=4000,3000"));
        }
        arguments +=
            {"/p/in put.jpg", findEffectPreset(effect)->recipeCommand, "-o", "/t/zemcartoon.png"};
        QCOMPARE(command.arguments, arguments);
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
