// The controls as a user meets them: menus, buttons, the progress bar, labels and frames.
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>

#include "gui_fixture.h"
#include "host/modal.h"
#include "qt_access.h"
#include "thin_progress_bar.h"

namespace gui_test {
namespace {

using test_support::WidgetOf;

class PopupMenuTest : public GuiTest {
 protected:
  void SetUp() override {
    window_ = ShowWindow([this](TraceWindow& w) {
      menu_ = Add<host::PopupMenu>(w, "Menu", 10, 10, 160, 22);
      host::RuntimeAddEventHandler(*menu_, host::PopupMenu::kChangeEvent,
                                   host::RuntimeCreateDelegate(w, &TraceWindow::MenuChange));
    });
  }
  host::Ref<TraceWindow> window_;
  host::Ref<host::PopupMenu> menu_;
};

TEST_F(PopupMenuTest, ChoosesNoRowUntilTheUserPicksOne) {
  menu_->AddRow("Port A");
  menu_->AddRow("Port B");
  EXPECT_EQ(menu_->ListIndex(), -1);
  EXPECT_EQ(qobject_cast<QComboBox*>(WidgetOf(*menu_))->currentIndex(), -1);
  EXPECT_EQ(menu_->RowCount(), 2);
  EXPECT_EQ(menu_->List(1), "Port B");
}

TEST_F(PopupMenuTest, AddingAndDeletingRowsNeverRaisesChange) {
  menu_->AddRow("Port A");
  menu_->DeleteAllRows();
  menu_->AddRow("Port B");
  test_support::ProcessEventsFor(std::chrono::milliseconds(20));
  EXPECT_EQ(window_->trace, (std::vector<std::string>{"Layout", "CreateControls", "Open shown"}));
}

TEST_F(PopupMenuTest, AUsersPickRaisesChangeOnceWithTheRow) {
  menu_->AddRow("Port A");
  menu_->AddRow("Port B");
  ASSERT_TRUE(test_support::ChoosePopupRow(*menu_, 1));
  EXPECT_EQ(menu_->ListIndex(), 1);
  EXPECT_EQ(window_->trace.back(), "Change 1");
  EXPECT_EQ(window_->trace.size(), 4u);
}

TEST_F(PopupMenuTest, EmptyingTheMenuForgetsTheChosenRow) {
  menu_->AddRow("Port A");
  ASSERT_TRUE(test_support::ChoosePopupRow(*menu_, 0));
  menu_->DeleteAllRows();
  menu_->AddRow("Port A");
  EXPECT_EQ(menu_->ListIndex(), -1);
  ASSERT_TRUE(test_support::ChoosePopupRow(*menu_, 0));
  EXPECT_EQ(window_->trace.back(), "Change 0");
}

TEST_F(PopupMenuTest, ADisabledMenuCantBePicked) {
  menu_->AddRow("Port A");
  menu_->SetEnabled(false);
  EXPECT_FALSE(test_support::ChoosePopupRow(*menu_, 0));
  EXPECT_EQ(menu_->ListIndex(), -1);
}

TEST_F(PopupMenuTest, SettingListIndexByCodeRaisesChangeAndChecksTheRow) {
  menu_->AddRow("Port A");
  menu_->SetListIndex(0);
  EXPECT_EQ(window_->trace.back(), "Change 0");
  menu_->SetListIndex(0);  // unchanged: no second event
  EXPECT_EQ(window_->trace.size(), 4u);
  EXPECT_THROW(menu_->SetListIndex(1), host::RaisedException);
  EXPECT_THROW(menu_->List(-1), host::RaisedException);
  menu_->SetListIndex(-5);
  EXPECT_EQ(menu_->ListIndex(), -1);
}

TEST_F(GuiTest, AButtonClickRunsItsHandlerUnlessDisabled) {
  host::Ref<host::PushButton> button;
  auto window = ShowWindow([&](TraceWindow& w) {
    button = Add<host::PushButton>(w, "PushButton1", 10, 10, 80, 22);
    host::RuntimeAddEventHandler(*button, host::PushButton::kActionEvent,
                                 host::RuntimeCreateDelegate(w, &TraceWindow::ButtonAction));
  });
  test_support::ClickButton(*button);
  EXPECT_EQ(window->trace.back(), "Action PushButton1");
  button->SetEnabled(false);
  test_support::ClickButton(*button);
  EXPECT_EQ(window->trace.size(), 4u);
}

TEST_F(GuiTest, AProgressValueAboveTheMaximumShowsAFullBar) {
  host::Ref<host::ProgressBar> bar;
  ShowWindow([&](TraceWindow& w) { bar = Add<host::ProgressBar>(w, "Bar", 10, 10, 200, 8); });
  auto* widget = dynamic_cast<host::framework::ThinProgressBar*>(WidgetOf(*bar));
  ASSERT_NE(widget, nullptr);
  bar->SetMaximum(100);
  bar->SetValue(101);
  EXPECT_EQ(bar->Value(), 101);  // kept as given
  EXPECT_EQ(widget->value(), 100);
  bar->SetValue(0);
  EXPECT_EQ(widget->value(), 0);
  bar->SetValue(-3);
  EXPECT_EQ(widget->value(), 0);
  bar->SetValue(49.6);
  EXPECT_EQ(widget->value(), 50);
  bar->SetIndeterminate(true);
  bar->SetValue(10);
  EXPECT_EQ(widget->maximum(), 0);
  bar->SetIndeterminate(false);
  EXPECT_EQ(widget->value(), 10);
}

TEST_F(GuiTest, LabelsShowTheirColourFontAndAlignmentAlsoWhenDisabled) {
  host::Ref<host::Label> label, plain;
  ShowWindow([&](TraceWindow& w) {
    label = Add<host::Label>(w, "Label10", 10, 10, 60, 29);
    plain = Add<host::Label>(w, "Label133", 10, 50, 80, 20);
  });
  label->SetText("Step 1");
  label->SetTextColor(0x00FFFF00);
  label->SetItalic(true);
  label->SetFontSize(16);
  label->SetEnabled(false);
  plain->SetBold(true);
  plain->SetTextAlignment(3);

  auto* step = qobject_cast<QLabel*>(WidgetOf(*label));
  EXPECT_EQ(step->text(), "Step 1");
  EXPECT_EQ(step->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(Qt::yellow));
  EXPECT_EQ(step->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::yellow));
  EXPECT_TRUE(step->font().italic());
  EXPECT_EQ(step->font().pixelSize(), 16);

  auto* caption = qobject_cast<QLabel*>(WidgetOf(*plain));
  const QFont standard = QApplication::font(caption);
  EXPECT_TRUE(caption->font().bold());
  EXPECT_EQ(caption->font().pointSizeF(), standard.pointSizeF());  // size 0
  EXPECT_TRUE(caption->alignment() & Qt::AlignRight);
}

// The colour of one pixel of the window as drawn.
QColor PixelAt(host::Window& window, int x, int y) {
  return WidgetOf(window)->grab().toImage().pixelColor(x, y);
}

TEST_F(GuiTest, AFrameIsDrawnWithBorderFillAndCornersBeneathTheControlsItHolds) {
  host::Ref<host::ProgressBar> bar;
  auto window = ShowWindow([&](TraceWindow& w) {
    bar = Add<host::ProgressBar>(w, "Bar", 70, 100, 200, 8);
    auto frame = Add<host::RoundRectangle>(w, "Frame", 50, 50, 300, 100);
    frame->SetBorderColor(0x00FFFFFF);
    frame->SetFillColor(0x00FF0000);
    frame->SetCornerWidth(16);
    frame->SetCornerHeight(16);
  });
  window->SetHasBackgroundColor(true);
  window->SetBackgroundColor(0x00000000);
  bar->SetValue(100);
  EXPECT_EQ(PixelAt(*window, 200, 50), QColor(Qt::white));  // top border
  EXPECT_EQ(PixelAt(*window, 200, 70), QColor(Qt::red));    // fill
  EXPECT_EQ(PixelAt(*window, 50, 50), QColor(Qt::black));   // outside the rounded corner
  const QColor onBar = PixelAt(*window, 150, 104);
  EXPECT_NE(onBar, QColor(Qt::red)) << "the frame hides the bar it holds";
}

TEST_F(GuiTest, ControlsSitAtWindowCoordinatesAndOutsideTheWindowAreNotSeen) {
  host::Ref<host::Label> below;
  auto window = ShowWindow([&](TraceWindow& w) {
    Add<host::RoundRectangle>(w, "Frame", 33, 45, 300, 95);
    below = Add<host::Label>(w, "Label132", 352, 500, 80, 20);
    below->SetInitialParent("Frame");
  });
  QWidget* widget = WidgetOf(*below);
  EXPECT_EQ(widget->geometry(), QRect(352, 500, 80, 20));
  EXPECT_EQ(widget->parentWidget(), WidgetOf(*window));
  EXPECT_TRUE(widget->visibleRegion().isEmpty());
}

TEST_F(GuiTest, WeakReferencesEndWithTheirObject) {
  auto label = host::New<host::Label>();
  host::WeakRef weak(label.get());
  EXPECT_EQ(weak.Value().get(), label.get());
  label.Reset();
  EXPECT_FALSE(weak.Value());
  EXPECT_FALSE(host::WeakRef().Value());
  auto file = host::FolderItem::Make("x");
  EXPECT_THROW(host::WeakRef{file.get()}, host::RaisedException);
}

TEST_F(GuiTest, TheLongestInstructionFitsItsLabelInTheSystemFace) {
  const QStringList metricFaces = {"Nimbus Sans", "Liberation Sans", "Arial", "Helvetica"};
  if (std::none_of(metricFaces.begin(), metricFaces.end(),
                   [](const QString& face) { return QFontDatabase::hasFamily(face); })) {
    GTEST_SKIP() << "no face with the layout's metrics is installed";
  }
  host::Ref<host::Label> label;
  ShowWindow([&](TraceWindow& w) { label = Add<host::Label>(w, "Label4", 53, 197, 350, 20); });
  label->SetFontSize(13);
  label->SetText("4. Press the 'OPEN' button to load the new firmware file.");
  auto* widget = qobject_cast<QLabel*>(WidgetOf(*label));
  EXPECT_LE(QFontMetrics(widget->font()).horizontalAdvance(widget->text()), 350);
}

TEST_F(GuiTest, ADisabledLabelKeepsItsColourOnScreen) {
  host::Ref<host::Label> label;
  auto window = ShowWindow([&](TraceWindow& w) {
    label = Add<host::Label>(w, "Label10", 10, 10, 100, 29);
    label->SetText("WWWWWW");
    label->SetTextColor(0x00FFFF00);
    label->SetFontSize(20);
    label->SetBold(true);
    label->SetEnabled(false);
  });
  window->SetHasBackgroundColor(true);
  window->SetBackgroundColor(0x00000000);
  const QImage image = WidgetOf(*window)->grab().toImage();
  int yellow = 0, grey = 0;
  for (int y = 10; y < 39; ++y) {
    for (int x = 10; x < 110; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() > 200 && c.blue() < 60)
        ++yellow;
      if (c.red() > 100 && std::abs(c.red() - c.blue()) < 20)
        ++grey;
    }
  }
  EXPECT_GT(yellow, 20);
  EXPECT_EQ(grey, 0) << "a disabled label is drawn greyed out";
}

}  // namespace
}  // namespace gui_test
