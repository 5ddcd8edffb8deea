#include "ui/chipform/TChForm.h"

#include "session/Language.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <climits>
#include <tuple>

#include "chipdb/ChipListDate.h"
#include "chipdb/ChipListFile.h"
#include "chipdb/ChipVoltage.h"
#include "sheets/ChipSheetFiles.h"
#include "ui/chipform/ChipTableModel.h"

using chipdb::ChipField;

namespace {

// The editor's labelled fields, in the order they are laid out.
struct EditDef {
    const char* objectName;
    ChipField field;
};
const EditDef kEditDefs[] = {
    {"LEChipText", ChipField::CHIPTEXT}, {"LEManuf", ChipField::MANUF},         {"LEChipId", ChipField::CHIPID},
    {"LEChipSize", ChipField::CHIPSIZE}, {"LESignature", ChipField::SIGNATURE}, {"LEPageSize", ChipField::PAGESIZE},
    {"LEFreq", ChipField::FREQUENCY},    {"LEErTime", ChipField::ERTIME},       {"LEVMin", ChipField::VMIN},
    {"LEVMax", ChipField::VMAX},
};

int slot(ChipField f)
{
    return static_cast<int>(f);
}

QDate qdateOf(double chipListDate)
{
    const auto ymd = chipdb::ymdFromChipListDate(chipListDate);
    if (!ymd) return {};
    return QDate(int(ymd->year()), unsigned(ymd->month()), unsigned(ymd->day()));
}

double chipListDateOf(QDate d)
{
    using namespace std::chrono;
    return chipdb::chipListDateFromYmd(year{d.year()} / month{unsigned(d.month())} / day{unsigned(d.day())});
}

} // namespace

TChForm::TChForm(ChipFormContext context, QWidget* parent) : QDialog(parent), ctx_(std::move(context))
{
    setObjectName("TChForm");
    setWindowTitle(LocalizedCaption("Device selection", "Выбор микросхемы"));
    model_ = new ChipTableModel(ctx_.table, this);
    buildList();
    buildEditor();
    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    root->addWidget(DBGrid->parentWidget());
    root->addWidget(Panel2);
    Panel2->hide();
    fitColumns();
    setFixedWidth(listWidth_);
    resize(listWidth_, 460);

    // Opened from the menu the list is searched by name, starting with every row.
    ctx_.filter.searchText.clear();
    if (!ctx_.filter.signatureMode) ctx_.table.setFiltered(false);
    ctx_.table.setAfterScroll([this] { ClientDataSetAfterScroll(); });
}

TChForm::~TChForm()
{
    ctx_.table.setAfterScroll({});
}

void TChForm::buildList()
{
    auto* listPart = new QWidget(this);
    auto* column = new QVBoxLayout(listPart);
    column->setContentsMargins(0, 0, 0, 0);

    Panel1 = new QWidget(listPart);
    Panel1->setObjectName("Panel1");
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(0, 0, 0, 0);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName("Edit1");
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TChForm::Edit1Change);
    SpeedButton2 = new QToolButton(Panel1);
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setCheckable(true);
    SpeedButton2->setText("…");
    SpeedButton2->setToolTip(LocalizedCaption("Open the database editor", "Открыть редактор базы"));
    SpeedButton2->hide();
    connect(SpeedButton2, &QToolButton::toggled, this, &TChForm::SpeedButton2Click);
    bar->addWidget(Edit1, 1);
    bar->addWidget(SpeedButton2);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E), this);
    shortcut->setObjectName("EditorShortcut");
    connect(shortcut, &QShortcut::activated, SpeedButton2, &QWidget::show);

    DBGrid = new QTableView(listPart);
    DBGrid->setObjectName("DBGrid");
    DBGrid->setModel(model_);
    DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid->verticalHeader()->hide();
    // Compact rows, as a list of several hundred chips wants.
    DBGrid->verticalHeader()->setDefaultSectionSize(DBGrid->fontMetrics().height() + 4);
    DBGrid->verticalHeader()->setMinimumSectionSize(DBGrid->fontMetrics().height() + 2);
    DBGrid->horizontalHeader()->setSectionsClickable(true);
    DBGrid->horizontalHeader()->setHighlightSections(false);
    DBGrid->viewport()->installEventFilter(this);
    connect(DBGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TChForm::DBGridTitleClick);
    connect(DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& now) {
        if (syncing_ || !now.isValid()) return;
        const int row = model_->tableRow(now.row());
        if (row == ChipTableModel::kNoRow) return; // on the placeholder
        model_->setPlaceholderRow(ChipTableModel::kNoRow);
        ctx_.table.moveTo(row);
    });

    LbSupply = new QLabel(listPart);
    LbSupply->setObjectName("LbSupply");

    SBChoose = new QPushButton(LocalizedCaption("Choose", "Выбрать"), listPart);
    SBChoose->setObjectName("SBChoose");
    connect(SBChoose, &QPushButton::clicked, this, &TChForm::SBChooseClick);

    column->addWidget(Panel1);
    column->addWidget(DBGrid, 1);
    column->addWidget(LbSupply);
    column->addWidget(SBChoose);
}

// Each column is as wide as its title and the widest text of the whole table, filtered or not, and
// at least as wide as the design made it; the list grows with its columns.
void TChForm::fitColumns()
{
    const QFontMetrics cells(DBGrid->font());
    const int cellPadding = 2 * (DBGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, DBGrid) + 1) + 6;
    QHeaderView* titles = DBGrid->horizontalHeader();
    int grown = 0;
    for (int c = 0; c < ChipTableModel::kColumns; ++c) {
        const ChipField field = ChipTableModel::fieldOfColumn(c);
        int width = std::max(ChipTableModel::widthOfColumn(c), titles->sectionSizeHint(c));
        for (const chipdb::ChipRecord& row : ctx_.table.rows())
            width = std::max(width, cells.horizontalAdvance(QString::fromStdString(chipdb::fieldText(row, field))) +
                                        cellPadding);
        DBGrid->setColumnWidth(c, width);
        grown += width - ChipTableModel::widthOfColumn(c);
    }
    listWidth_ = kListWidth + grown;
    DBGrid->parentWidget()->setFixedWidth(listWidth_ - 8);
}

void TChForm::buildEditor()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    Panel2->setFixedWidth(kEditorWidth - kListWidth - 4);
    auto* column = new QVBoxLayout(Panel2);
    column->setContentsMargins(0, 0, 0, 0);

    auto* modes = new QHBoxLayout;
    auto* group = new QButtonGroup(Panel2);
    group->setExclusive(false); // at most one down, but all may be up
    const std::pair<QToolButton**, TextPair> buttons[] = {{&SpButtonNew, {"New", "Новая"}},
                                                          {&SpButtonEdit, {"Change", "Изменить"}},
                                                          {&SpButtonDelete, {"Delete", "Удалить"}}};
    const char* names[] = {"SpButtonNew", "SpButtonEdit", "SpButtonDelete"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton(Panel2);
        b->setObjectName(names[i]);
        b->setText(LocalizedCaption(buttons[i].second));
        b->setCheckable(true);
        group->addButton(b);
        modes->addWidget(b);
        *buttons[i].first = b;
    }
    connect(group, &QButtonGroup::buttonClicked, this, &TChForm::SpButtonNewClick);
    column->addLayout(modes);

    auto* form = new QFormLayout;
    for (const EditDef& d : kEditDefs) {
        auto* edit = new QLineEdit(Panel2);
        edit->setObjectName(d.objectName);
        edit->setReadOnly(true);
        if (chipdb::fieldDef(d.field).type == chipdb::FieldType::Text) edit->setMaxLength(chipdb::kTextFieldWidth);
        form->addRow(QString::fromUtf8(chipdb::fieldDef(d.field).name.data(), chipdb::fieldDef(d.field).name.size()),
                     edit);
        edits_[slot(d.field)] = edit;
    }
    column->addLayout(form);

    LbCurDate = new QLabel(Panel2);
    LbCurDate->setObjectName("LbCurDate");
    LbCurVer = new QLabel(Panel2);
    LbCurVer->setObjectName("LbCurVer");
    DateTimePicker = new QDateEdit(QDate::currentDate(), Panel2);
    DateTimePicker->setObjectName("DateTimePicker");
    DateTimePicker->setCalendarPopup(true);
    CSpinEdit = new QSpinBox(Panel2);
    CSpinEdit->setObjectName("CSpinEdit");
    CSpinEdit->setRange(INT_MIN, INT_MAX);
    SpButtonOk = new QPushButton(LocalizedCaption("Execute", "Выполнить"), Panel2);
    SpButtonOk->setObjectName("SpButtonOk");
    SpButtonOk->setEnabled(false);
    connect(SpButtonOk, &QPushButton::clicked, this, &TChForm::SpButtonOkClick);
    for (QWidget* w : std::initializer_list<QWidget*>{LbCurDate, LbCurVer, DateTimePicker, CSpinEdit, SpButtonOk})
        column->addWidget(w);
    column->addStretch(1);

    auto* sheetButtons = new QHBoxLayout;
    const std::tuple<QPushButton**, const char*, TextPair, void (TChForm::*)()> sheetDefs[] = {
        {&Button1, "Button1", {"Load XLS", "Загрузить XLS"}, &TChForm::Button1Click},
        {&Button2, "Button2", {"Save XLS", "Сохранить XLS"}, &TChForm::Button2Click},
        {&Button3, "Button3", {"Save TXT", "Сохранить TXT"}, &TChForm::Button3Click}};
    for (const auto& [button, name, caption, handler] : sheetDefs) {
        *button = new QPushButton(LocalizedCaption(caption), Panel2);
        (*button)->setObjectName(QLatin1String(name));
        connect(*button, &QPushButton::clicked, this, handler);
        sheetButtons->addWidget(*button);
    }
    column->addLayout(sheetButtons);
}

void TChForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!shown_) FormShow();
    shown_ = true;
}

void TChForm::FormShow()
{
    placeWindow();
    const QString chipName = ctx_.settings.readChipName();
    const QDate date = qdateOf(ctx_.chipListDate);
    // The date in the words of the interface language: a C locale would name the month in English.
    const QLocale locale =
        CaptionLanguage(CurrentLanguage()) == Language::Russian ? QLocale(QLocale::Russian) : QLocale();
    LbCurDate->setText(LocalizedCaption("Date: ", "Дата: ") + locale.toString(date, QLocale::ShortFormat));
    LbCurVer->setText(LocalizedCaption("Version: ", "Версия: ") + QString::number(ctx_.chipListVersion));
    CSpinEdit->setValue(ctx_.chipListVersion);
    ctx_.table.locate(ChipField::CHIPTEXT, chipName.toStdString());
    showCurrentRowInGrid();
    if (ctx_.filter.signatureMode)
        Edit1->setEnabled(false);
    else
        Edit1->setFocus();
}

// Where it was left, while that is on a screen; else over the middle of the main window (or of
// the screen, without one).
void TChForm::placeWindow()
{
    const QSize size = frameGeometry().size();
    if (const std::optional<QPoint> saved = ctx_.settings.readPosition()) {
        const QScreen* screen = QGuiApplication::screenAt(*saved);
        if (screen && screen->availableGeometry().contains(QRect(*saved, size))) {
            move(*saved);
            return;
        }
    }
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area = owner ? owner->frameGeometry() : QRect();
    if (area.isEmpty() && QGuiApplication::primaryScreen())
        area = QGuiApplication::primaryScreen()->availableGeometry();
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void TChForm::done(int result)
{
    ctx_.settings.writePosition(pos());
    QDialog::done(result);
}

bool TChForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Edit1 && e->type() == QEvent::FocusIn) Edit1Enter();
    if (watched == DBGrid->viewport() && e->type() == QEvent::Wheel) {
        // One row per wheel message, whatever its distance.
        const int dy = static_cast<QWheelEvent*>(e)->angleDelta().y();
        if (dy != 0) ctx_.table.moveTo(ctx_.table.currentIndex() + (dy > 0 ? -1 : 1));
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TChForm::Edit1Change(const QString& text)
{
    ctx_.filter.searchText = text.toStdString();
    ctx_.table.setFiltered(false); // off and on again re-runs the test for the new text
    ctx_.table.setFiltered(!text.isEmpty());
}

void TChForm::Edit1Enter()
{
    ctx_.table.setFiltered(!Edit1->text().isEmpty());
}

void TChForm::DBGridTitleClick(int column)
{
    const bool natural =
        column == model_->sortedColumn() || ChipTableModel::fieldOfColumn(column) == ChipField::CHIPSIZE;
    model_->setSortedColumn(natural ? ChipTableModel::kNoColumn : column);
    ctx_.table.setOrder(natural ? std::nullopt : std::optional(ChipTableModel::fieldOfColumn(column)));
}

void TChForm::SBChooseClick()
{
    if (ctx_.table.current() && ctx_.chipChosen) ctx_.chipChosen();
    accept();
    ctx_.filter.signatureMode = false;
}

void TChForm::SpeedButton2Click(bool down)
{
    SpeedButton2->setToolTip(down ? LocalizedCaption("Close the database editor", "Закрыть редактор базы")
                                  : LocalizedCaption("Open the database editor", "Открыть редактор базы"));
    Panel2->setVisible(down);
    setFixedWidth(down ? editorWidth() : listWidth_);
}

TChForm::EditorMode TChForm::editorMode() const
{
    if (SpButtonNew->isChecked()) return EditorMode::New;
    if (SpButtonEdit->isChecked()) return EditorMode::Change;
    if (SpButtonDelete->isChecked()) return EditorMode::Delete;
    return EditorMode::None;
}

void TChForm::SpButtonNewClick(QAbstractButton* clicked)
{
    if (clicked->isChecked())
        for (QToolButton* b : {SpButtonNew, SpButtonEdit, SpButtonDelete})
            if (b != clicked) b->setChecked(false);
    const EditorMode mode = editorMode();
    // New opens an empty row at the current position; it is never stored.
    model_->setPlaceholderRow(mode == EditorMode::New ? std::max(ctx_.table.currentIndex(), 0)
                                                      : ChipTableModel::kNoRow);
    if (mode == EditorMode::New) showPlaceholderInGrid();
    if (mode == EditorMode::Change) {
        fillEditsFromCurrentRow();
    } else if (mode == EditorMode::New &&
               ctx_.prompts.ask(Localized("Clear the data?", "Удалить данные?"),
                                Localized("Clearing the edit fields", "Удаление данных из окон редактирования")) ==
                   ChipFormPrompts::Answer::Yes) {
        for (QLineEdit* e : edits_) e->clear();
    }
    setEditsWritable(mode != EditorMode::None);
    SpButtonOk->setEnabled(mode != EditorMode::None);
}

void TChForm::SpButtonOkClick()
{
    const EditorMode mode = editorMode();
    if (mode == EditorMode::None) return;
    model_->setPlaceholderRow(ChipTableModel::kNoRow);
    if (mode != EditorMode::Delete) {
        // Every number must convert before anything changes.
        for (const EditDef& d : kEditDefs) {
            chipdb::ChipRecord probe;
            const QString text = edits_[slot(d.field)]->text();
            if (!chipdb::setFieldText(probe, d.field, text.toStdString())) {
                ctx_.prompts.tell(Localized("'%1' is not a valid number", "'%1' не является числом").arg(text), "");
                return;
            }
        }
    }
    chipdb::ChipListSaver saver(ctx_.chipListFile);
    if (!saver.open()) {
        ctx_.prompts.tell(Localized("Unable to open file ChipList.dat", "Файл ChipList.dat не удается открыть"), "");
        return;
    }
    if (mode == EditorMode::Delete) {
        if (ctx_.prompts.ask(Localized("Delete the record?", "Удалить запись?"),
                             Localized("Deleting the current record", "Удаление текущей записи")) ==
            ChipFormPrompts::Answer::Yes)
            ctx_.table.deleteCurrent();
    } else {
        if (mode == EditorMode::New)
            ctx_.table.append();
        else
            ctx_.table.change();
        if (ctx_.table.editing())
            for (const EditDef& d : kEditDefs)
                chipdb::setFieldText(ctx_.table.edited(), d.field, edits_[slot(d.field)]->text().toStdString());
    }
    ctx_.table.commit();
    saveDatabase(saver);
}

// Writes the opened ChipList.dat with the date and version fields; the version field moves on.
void TChForm::saveDatabase(chipdb::ChipListSaver& saver)
{
    const double date = chipListDateOf(DateTimePicker->date());
    const std::int32_t version = CSpinEdit->value();
    if (const int rc = saver.write(date, version, ctx_.table); rc != 0) {
        ctx_.prompts.tell(QString::number(rc), "");
        return;
    }
    CSpinEdit->setValue(version == INT_MAX ? version : version + 1);
    if (ctx_.databaseSaved) ctx_.databaseSaved(date, version);
}

QString TChForm::inProgramFolder(const char* name) const
{
    return QString::fromStdString((ctx_.programFolder / name).string());
}

void TChForm::Button1Click()
{
    const QString file =
        ctx_.prompts.askFile({false,
                              Localized("Load the chip list", "Загрузка списка микросхем"),
                              Localized("Spreadsheets (*.xlsx *.xls *.csv)", "Таблицы (*.xlsx *.xls *.csv)"),
                              QString::fromStdString(ctx_.programFolder.string()),
                              {}});
    if (file.isEmpty()) return;
    // The whole sheet is read and checked before anything changes.
    const sheets::ChipRows sheet = sheets::LoadChipSheet(file.toStdString());
    if (sheet.error) {
        ctx_.prompts.tell(Localized(*sheet.error), Localized("Error", "Ошибка"));
        return;
    }
    const QString question =
        Localized("The %1 rows of %2 will replace the %3 rows of the chip list, and ChipList.dat will be "
                  "rewritten. Go on?",
                  "Строки из %2 (%1) заменят строки списка микросхем (%3), файл ChipList.dat будет "
                  "перезаписан. Продолжить?")
            .arg(sheet.rows.size())
            .arg(QFileInfo(file).fileName())
            .arg(ctx_.table.rows().size());
    if (ctx_.prompts.ask(question, Localized("Loading the chip list", "Загрузка списка микросхем")) !=
        ChipFormPrompts::Answer::Yes)
        return;
    chipdb::ChipListSaver saver(ctx_.chipListFile);
    if (!saver.open()) {
        ctx_.prompts.tell(Localized("Unable to open file ChipList.dat", "Файл ChipList.dat не удается открыть"), "");
        return;
    }
    ctx_.table.assign(sheet.rows);
    saveDatabase(saver);
}

void TChForm::Button2Click()
{
    const std::vector<chipdb::ChipRecord> rows = sheets::RowsInCurrentOrder(ctx_.table);
    const QString file = ctx_.prompts.askFile(
        {true, Localized("Save the chip list", "Сохранение списка микросхем"),
         Localized("Excel workbook (*.xlsx);;CSV text (*.csv)", "Книга Excel (*.xlsx);;Текст CSV (*.csv)"),
         inProgramFolder("Chip_List.xlsx"), "xlsx"});
    if (file.isEmpty()) return;
    if (const auto error = sheets::SaveChipSheet(file.toStdString(), rows))
        ctx_.prompts.tell(Localized(*error), Localized("Error", "Ошибка"));
}

void TChForm::Button3Click()
{
    const QString file = ctx_.prompts.askFile({true, Localized("Save Chip.txt", "Сохранение Chip.txt"),
                                               Localized("Text file (*.txt)", "Текстовый файл (*.txt)"),
                                               inProgramFolder("Chip.txt"), "txt"});
    if (file.isEmpty()) return;
    if (sheets::SaveChipText(file.toStdString(), sheets::RowsInCurrentOrder(ctx_.table)))
        ctx_.prompts.tell(Localized("Unable to open file Chip.txt", "Файл Chip.txt не удается открыть"), "");
}

void TChForm::ClientDataSetAfterScroll()
{
    model_->setPlaceholderRow(ChipTableModel::kNoRow);
    showCurrentRowInGrid();
    if (editorMode() != EditorMode::New && isVisible()) fillEditsFromCurrentRow();
}

void TChForm::showCurrentRowInGrid()
{
    const chipdb::ChipRecord* current = ctx_.table.current();
    LbSupply->setText(current ? Localized(chipdb::supplyText(chipdb::voltageOf(*current))) : QString());
    syncing_ = true;
    const int row = ctx_.table.currentIndex();
    if (row < 0) {
        DBGrid->selectionModel()->clear();
    } else {
        selectGridRow(model_->gridRow(row));
    }
    syncing_ = false;
}

void TChForm::showPlaceholderInGrid()
{
    syncing_ = true;
    selectGridRow(model_->placeholderRow());
    syncing_ = false;
}

void TChForm::selectGridRow(int row)
{
    const QModelIndex index = model_->index(row, 0);
    DBGrid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid->scrollTo(index);
}

void TChForm::fillEditsFromCurrentRow()
{
    for (const EditDef& d : kEditDefs)
        edits_[slot(d.field)]->setText(QString::fromStdString(ctx_.table.fieldText(d.field)));
}

void TChForm::setEditsWritable(bool writable)
{
    for (QLineEdit* e : edits_) e->setReadOnly(!writable);
}
