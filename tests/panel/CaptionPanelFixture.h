#pragma once
// The tariff panel as the window builds it: a form of the window's client
// size, the caption panel at its place with the caption set property by
// property, a stand-in for the grid filling the area and a real navigator
// along the bottom.

#include "platform/widgets/GuiTestHelpers.h"

#include "navigator/TDBNavigator.h"
#include "panel/TCaptionPanel.h"
#include "platform/widgets/TForm.h"
#include "platform/widgets/TSpeedButton.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <string>
#include <vector>

// Stands in for the grid, which has its own task: counts what reaches it.
class TGridStandIn : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Presses = 0;
    int Paints = 0;

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override { ++Presses; }
    void Paint(QPainter& canvas) override {
        ++Paints;
        canvas.fillRect(0, 0, Width(), Height(), Qt::white);
    }
};

// A caption panel that records what its hooks were called for.
class TRecordingCaptionPanel : public TCaptionPanel {
public:
    using TCaptionPanel::TCaptionPanel;
    std::vector<std::string> Calls;
    int Paints = 0;

    void UpdateShading() override {
        Calls.push_back("shading");
        TCaptionPanel::UpdateShading();
    }
    void StateChange() override { Calls.push_back("state"); }

protected:
    void Paint(QPainter& canvas) override {
        ++Paints;
        TCaptionPanel::Paint(canvas);
    }
};

class CaptionPanelTest : public ::testing::Test {
protected:
    CaptionPanelTest() {
        form.SetClientWidth(346);
        form.SetClientHeight(284);
        panel = new TRecordingCaptionPanel(&form);
        panel->SetName("CaptionPanel1");
        panel->SetParent(&form);
        panel->SetBounds(24, 72, 305, 169);
        panel->SetTabOrder(5);
        panel->Caption().SetVisible(true);
        panel->Caption().SetText("Tarifas");
        panel->Caption().SetHeight(20);
        panel->Caption().SetColor(clHighlight);
        panel->Caption().SetFont(TFont("MS Sans Serif", -11, clHighlightText));
        grid = new TGridStandIn(&form);
        grid->SetName("DBGrid2");
        grid->SetParent(panel);
        grid->SetAlign(alClient);
        navigator = new TDBNavigator(&form);
        navigator->SetName("DBNavigator1");
        navigator->SetParent(panel);
        navigator->SetHeight(18);
        navigator->SetAlign(alBottom);
        navigator->SetTabOrder(1);
        navigator->SetVisibleButtons(
            {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbCancel});
        panel->Calls.clear();
    }

    // The panel's own picture, without its children.
    QImage paint() const {
        QImage image(panel->Width(), panel->Height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        panel->Widget()->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return image;
    }

    // The whole form as it shows, children included.
    QImage paintForm() const {
        QImage image(form.Width(), form.Height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        form.Widget()->render(&image);
        return image;
    }

    static QColor at(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

    // Pixels of the rectangle (right and bottom exclusive) that are not of
    // the colour.
    static int pixelsOtherThan(const QImage& image, TRect r, QColor colour) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += at(image, x, y) != colour;
        return n;
    }

    void showForm() {
        form.Show();
        guitest::ShowActive(form.Widget());
    }

    guitest::DialogAndSettings env;
    TForm form{nullptr};
    TRecordingCaptionPanel* panel;
    TGridStandIn* grid;
    TDBNavigator* navigator;
};
