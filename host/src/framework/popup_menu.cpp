#include <QApplication>
#include <QComboBox>
#include <QSignalBlocker>
#include <array>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "property_table.h"
#include "qt_support.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<PopupMenu>;

constexpr std::array kMenuProperties{
    Row{"InitialValue", LVT::String,
        [](PopupMenu& c, const LayoutValue& v) { c.SetInitialValue(AsString(v)); }},
    Row{"SelectedRowIndex", LVT::Integer,
        [](PopupMenu& c, const LayoutValue& v) { c.SetSelectedRowIndex(AsInteger(v)); }},
    Row{"DataSource", LVT::String,
        [](PopupMenu& c, const LayoutValue& v) { c.SetDataSource(AsString(v)); }},
    Row{"DataField", LVT::String,
        [](PopupMenu& c, const LayoutValue& v) { c.SetDataField(AsString(v)); }},
};

void RaiseRowOutOfBounds(std::int64_t row, std::int64_t rowCount) {
  Raise("OutOfBoundsException", "row " + std::to_string(row) + " doesn't exist; the menu has " +
                                    std::to_string(rowCount) + " rows");
}

}  // namespace

// The toolkit's combo box selects its first row by itself as soon as it has one; the menu
// keeps its own ListIndex and puts it back after every change of rows.
class PopupMenuPeer : public ControlPeer {
 public:
  explicit PopupMenuPeer(PopupMenu& menu) : ControlPeer(new QComboBox), menu_(menu) {
    auto* combo = static_cast<QComboBox*>(Widget());
    for (const std::string& row : menu.rows_)
      combo->addItem(ToQt(row));
    QObject::connect(combo, &QComboBox::activated, [this](int row) { menu_.UserPicked(row); });
  }

  void Sync() override {
    auto* combo = Combo();
    combo->setFont(MakeFont(QApplication::font(combo), menu_.FontName(), menu_.FontSize(),
                            menu_.Bold(), menu_.Italic(), menu_.Underline()));
    ShowListIndex();
  }

  QComboBox* Combo() const { return static_cast<QComboBox*>(Widget()); }

  void ShowListIndex() {
    const QSignalBlocker quiet(Combo());
    Combo()->setCurrentIndex(static_cast<int>(menu_.ListIndex()));
  }

 private:
  PopupMenu& menu_;
};

const ClassDescription& PopupMenu::Class() {
  static const ClassDescription& cls = DescribeFrameworkClass("PopupMenu", &RectControl::Class());
  return cls;
}

PopupMenu::PopupMenu(const ClassDescription& cls) : TextControl(cls) {}

std::unique_ptr<ControlPeer> PopupMenu::MakePeer() {
  return std::make_unique<PopupMenuPeer>(*this);
}

void PopupMenu::AddRow(std::string text) {
  rows_.push_back(std::move(text));
  if (HasPeer()) {
    auto& peer = static_cast<PopupMenuPeer&>(Peer());
    {
      const QSignalBlocker quiet(peer.Combo());
      peer.Combo()->addItem(ToQt(rows_.back()));
    }
    peer.ShowListIndex();
  }
}

void PopupMenu::DeleteAllRows() {
  rows_.clear();
  listIndex_ = -1;
  if (HasPeer()) {
    auto& peer = static_cast<PopupMenuPeer&>(Peer());
    const QSignalBlocker quiet(peer.Combo());
    peer.Combo()->clear();
  }
}

const std::string& PopupMenu::List(std::int64_t row) const {
  if (row < 0 || row >= RowCount())
    RaiseRowOutOfBounds(row, RowCount());
  return rows_[static_cast<std::size_t>(row)];
}

void PopupMenu::SetListIndex(std::int64_t value) {
  if (value >= RowCount())
    RaiseRowOutOfBounds(value, RowCount());
  const std::int64_t index = value < 0 ? -1 : value;
  if (index == listIndex_)
    return;
  listIndex_ = index;
  SyncPeer();
  RaiseEvent(*this, kChangeEvent);
}

void PopupMenu::UserPicked(std::int64_t row) {
  if (row == listIndex_)
    return;
  listIndex_ = row;
  RaiseEvent(*this, kChangeEvent);
}

void PopupMenu::SetInitialValue(std::string value) {
  initialValue_ = std::move(value);
  std::size_t start = 0;
  while (start < initialValue_.size()) {
    std::size_t end = initialValue_.find_first_of("\r\n", start);
    if (end == std::string::npos)
      end = initialValue_.size();
    AddRow(initialValue_.substr(start, end - start));
    start = end + 1;
  }
}

void PopupMenu::SetSelectedRowIndex(std::int64_t value) {
  selectedRowIndex_ = value;
  // An initial choice, not the user's: it raises no Change.
  if (value >= 0 && value < RowCount()) {
    listIndex_ = value;
    SyncPeer();
  }
}

std::optional<LayoutValueType> PopupMenu::LayoutPropertyType(std::string_view name) const {
  if (const Row* row = FindProperty<PopupMenu>(kMenuProperties, name))
    return row->type;
  return TextControl::LayoutPropertyType(name);
}

void PopupMenu::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<PopupMenu>(kMenuProperties, name)) {
    row->apply(*this, value);
  } else {
    TextControl::SetLayoutProperty(name, value);
  }
}

}  // namespace host
