#include "ui/qt/TreeMenus.h"

#include <array>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "tree/Presets.h"
#include "ui/qt/SecondStrip.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeDialog.h"

namespace arbolith {

namespace {

void ShowKeys(TreeDialog& dialog);
void ShowAbout(TreeDialog& dialog);

constexpr std::array kEntries{
    MenuEntry{"&File", "openParameters", "&Open Parameters...", "Ctrl+O", false,
              [](TreeDialog& d) {
                  d.AskAndOpenParameters();
              }},
    MenuEntry{"&File", "saveParameters", "Save &Parameters...", "Ctrl+Shift+S", false,
              [](TreeDialog& d) {
                  d.AskAndSaveParameters();
              }},
    MenuEntry{"&File", "saveTree", "&Save Tree As...", "Ctrl+S", true,
              [](TreeDialog& d) {
                  d.AskAndSave();
              }},
    MenuEntry{"&File", "saveLarger", "Save &Larger Picture...", "Ctrl+Alt+S", false,
              [](TreeDialog& d) {
                  d.AskAndSaveLarger();
              }},
    MenuEntry{"&File", "saveLevelsOfDetail", "Save Tree with &Levels of Detail...", "Ctrl+Alt+L",
              false,
              [](TreeDialog& d) {
                  d.AskAndSave(true);
              }},
    MenuEntry{"&File", "quit", "&Quit", "Ctrl+Q", true,
              [](TreeDialog& d) {
                  d.Quit();
              }},
    MenuEntry{"&Edit", "copyPicture", "&Copy Picture", "Ctrl+C", false,
              [](TreeDialog& d) {
                  d.CopyPicture();
              }},
    MenuEntry{"&Edit", "copyCommand", "Copy arbolith-render &Command", "Ctrl+Shift+C", false,
              [](TreeDialog& d) {
                  d.CopyCommand();
              }},
    MenuEntry{"&Tree", "generate", "&Generate New Tree", "", false,
              [](TreeDialog& d) {
                  d.Press();
              }},
    MenuEntry{"&Tree", "previousSecond", "&Previous Second", "PgUp", false,
              [](TreeDialog& d) {
                  d.StepSecond(-1);
              }},
    MenuEntry{"&Tree", "nextSecond", "&Next Second", "PgDown", false,
              [](TreeDialog& d) {
                  d.StepSecond(1);
              }},
    MenuEntry{"&Tree", "moreLikeThis", "&More Like This", "F3", true,
              [](TreeDialog& d) {
                  d.ShowNeighbours(!d.Neighbours()->isVisibleTo(&d));
              }},
    MenuEntry{"&Help", "keys", "&Keys and Mouse", "F1", false, &ShowKeys},
    MenuEntry{"&Help", "about", "&About Arbolith", "", false, &ShowAbout},
};

// What the window answers besides its menus' keys.
constexpr std::array<std::pair<const char*, const char*>, 9> kOtherKeys{{
    {"Enter", "draws a new tree of the fields (Generate new tree); in the second's field, the "
              "tree of the second typed there"},
    {"Esc", "stops the drawing or the saving that is going"},
    {"Tab", "moves from field to field in the dialog's order, then to the second"},
    {"Drag", "on the canvas turns the tree: a degree for every two pixels"},
    {"Home", "on the canvas (after a click on it) brings back the front view"},
    {"Second", "holds the second of the tree shown, which every change of a field draws again; "
               "empty draws the tree of the moment"},
    {"Wheel", "or a pinch on the canvas zooms in and out about the pointer"},
    {"Middle drag", "or Shift+drag moves a picture larger than the window"},
    {"Ctrl+0", "shows the picture as large as the window holds it; Ctrl+Alt+0 at its own size"},
}};

QString Plain(const char* text) {
    return QString::fromLatin1(text).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
}

void ShowKeys(TreeDialog& dialog) {
    QString rows;
    const auto row = [&rows](const QString& key, const QString& does) {
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(key.toHtmlEscaped(), does.toHtmlEscaped());
    };
    for (const auto& [key, does] : kOtherKeys) {
        row(QString::fromLatin1(key), QString::fromLatin1(does));
    }
    for (const MenuEntry& entry : kEntries) {
        if (*entry.key != '\0') {
            row(QString::fromLatin1(entry.key), Plain(entry.text));
        }
    }
    QMessageBox box(QMessageBox::NoIcon, QObject::tr("Keys and Mouse"),
                    QStringLiteral("<table cellspacing=4>%1</table>").arg(rows), QMessageBox::Close,
                    &dialog);
    box.setObjectName(QStringLiteral("keysBox"));
    box.exec();
}

void ShowAbout(TreeDialog& dialog) {
    QMessageBox box(QMessageBox::NoIcon, QObject::tr("About Arbolith"),
                    QObject::tr("<h3>Arbolith %1</h3>"
                                "<p>Grows and draws random three-dimensional branching trees.</p>"
                                "<p>%2. Released under the MIT licence.</p>"
                                "<p><a href=\"%3\">%3</a></p>")
                        .arg(QStringLiteral(ARBOLITH_VERSION),
                             QStringLiteral(ARBOLITH_COPYRIGHT).toHtmlEscaped(),
                             QStringLiteral(ARBOLITH_HOMEPAGE)),
                    QMessageBox::Close, &dialog);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box.exec();
}

QAction* AddEntry(QMenu* menu, TreeDialog& dialog, const QString& name, const QString& text,
                  const QKeySequence& key) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(key);
    // The keys work wherever the focus is in the window, not only while the menu is open.
    dialog.addAction(action);
    return action;
}

} // namespace

std::span<const MenuEntry> MenuEntries() {
    return kEntries;
}

QMenuBar* CreateMenuBar(TreeDialog& dialog) {
    auto* bar = new QMenuBar(&dialog);
    const auto addEntries = [&](const char* title) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(title));
        for (const MenuEntry& entry : kEntries) {
            if (QByteArray(entry.menu) != title) {
                continue;
            }
            if (entry.separatorBefore) {
                menu->addSeparator();
            }
            QAction* action = AddEntry(menu, dialog, QString::fromLatin1(entry.name),
                                       QString::fromLatin1(entry.text),
                                       QKeySequence(QString::fromLatin1(entry.key)));
            QObject::connect(action, &QAction::triggered, &dialog,
                             [&dialog, does = entry.does] { does(dialog); });
        }
    };
    addEntries("&File");
    addEntries("&Edit");
    bar->addMenu(QObject::tr("&View"))->addActions(dialog.Canvas()->ViewActions());
    for (QAction* action : dialog.Canvas()->ViewActions()) {
        if (action != dialog.Canvas()->FrontViewAction()) {
            dialog.addAction(action);
        }
    }
    addEntries("&Tree");
    QMenu* presets = bar->addMenu(QObject::tr("&Presets"));
    for (const Preset& preset : kPresets) {
        const auto text = [](std::string_view view) {
            return QString::fromLatin1(view.data(), static_cast<int>(view.size()));
        };
        const QString name = text(preset.name);
        QAction* chosen = AddEntry(presets, dialog, QStringLiteral("preset-") + name,
                                   name.left(1).toUpper() + name.mid(1), {});
        chosen->setStatusTip(text(preset.description));
        chosen->setToolTip(text(preset.description));
        QObject::connect(chosen, &QAction::triggered, &dialog,
                         [&dialog, &preset] { dialog.ShowPreset(preset); });
    }
    presets->setToolTipsVisible(true);
    addEntries("&Help");
    return bar;
}

} // namespace arbolith
