#include "varin2.h"

#include "lookup.h"
#include "texts.h"
#include "about/varin1.h"
#include "reader/varin3.h"
#include "startup/module1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableView>

namespace {

const QString kCaption = DictionaryName() + QString(48, u' ')
                         + Varin2Text::kCaptionTail;
// The Kurdish column's caption is the word drawn out with seven tatweels.
const QString kKurdishColumnCaption = QStringLiteral("كـــــــوردى");

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& tip,
                        int left, int top, int width, int height)
{
    auto* b = new QPushButton(caption, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    b->setFont(KurdishFont(8.25, true));
    PlaceTwips(b, left, top, width, height);
    return b;
}

QLineEdit* MakeHiddenField(QWidget* parent)
{
    auto* f = new QLineEdit(parent);
    f->hide();
    return f;
}

}  // namespace

ResultModel::ResultModel(WordStore* store, QObject* parent) : QAbstractTableModel(parent), store_(store)
{
    connect(store, &WordStore::ResultChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : store_->RowCount();
}

int ResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);   // Kurdish reads from the right
    // A cell shows a line's worth; laying out a value of megabytes (a damaged
    // or hostile file) at every paint would freeze the window.
    constexpr qsizetype kShown = 1000;
    const auto shown = [](const QString& value) {
        return value.size() > kShown ? value.left(kShown) + QChar(0x2026) : value;
    };
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) {
        // The note tells two lines of one headword apart ("saw" the tool and
        // the past of see) without a third column: both cells of the row carry
        // it, for the pointer and for a screen reader. A word the user added
        // has none.
        const QString note = store_->At(index.row()).Note;
        return note.isEmpty() ? QVariant() : QVariant(shown(note));
    }
    if (role != Qt::DisplayRole)
        return {};
    const WordStore::Entry e = store_->At(index.row());
    return shown(index.column() == 0 ? e.English : e.Kurdish);
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("English") : kKurdishColumnCaption;
}

Varin2::Varin2() : Form(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                                     | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)
{
    setObjectName(QStringLiteral("Varin2"));
    // The file is read while the controls are built; the load adopts it.
    storePath_ = WordStore::ResolvePath();
    storeReading_ = std::async(std::launch::async, &WordStore::Read, storePath_);
    Data1 = new WordStore(this);
    DataGrid1Model = new ResultModel(Data1, this);
    BuildControls();
    connect(Data1, &WordStore::CurrentChanged, this, &Varin2::FollowCursor);
}

void Varin2::BuildControls()
{
    setWindowTitle(kCaption);
    setFixedSize(Twips(10935), Twips(5820));

    Frame1 = new QGroupBox(QStringLiteral("Type"), this);
    PlaceTwips(Frame1, 120, 120, 3495, 800);
    Frame2 = new QGroupBox(QStringLiteral("Key"), this);
    PlaceTwips(Frame2, 3720, 120, 7060, 800);
    Frame3 = new QGroupBox(QStringLiteral("Dictionary"), this);
    PlaceTwips(Frame3, 120, 960, 10660, 3935);

    Text = new QLineEdit(this);
    Text->setObjectName(QStringLiteral("Text"));
    Text->setFont(KurdishFont(12));
    Text->setToolTip(Varin2Text::kTextTip);
    PlaceTwips(Text, 240, 390, 3210, 390);

    Command1 = MakeButton(Frame2, Varin2Text::kCommand1, Varin2Text::kCommand1Tip, 120, 270, 855, 375);
    Command3 = MakeButton(Frame2, Varin2Text::kCommand3, Varin2Text::kCommand3Tip,
                          1080, 270, 855, 375);
    Command6 = MakeButton(Frame2, Varin2Text::kCommand6, Varin2Text::kCommand6Tip, 2040, 270, 855, 375);
    Command7 = MakeButton(Frame2, Varin2Text::kCommand7, Varin2Text::kCommand7Tip,
                          3000, 270, 855, 375);
    Command2 = MakeButton(Frame2, Varin2Text::kCommand2, Varin2Text::kCommand2Tip, 3900, 270, 735, 375);
    Command4 = MakeButton(Frame2, QStringLiteral("X"), QString(), 6600, 300, 255, 255);
    Command4->setFont(QFont(Command4->font().family(), 8, QFont::Bold));

    Text4 = new QLineEdit(this);
    Text4->setFont(KurdishFont(8.25, true));
    Text4->setToolTip(Varin2Text::kText4Tip);
    PlaceTwips(Text4, 240, 1275, 3415, 750);
    Text1 = new QLineEdit(this);
    Text1->setFont(KurdishFont(8.25, true));
    Text1->setToolTip(Varin2Text::kText1Tip);
    Text1->setLayoutDirection(Qt::RightToLeft);
    PlaceTwips(Text1, 3645, 1275, 7020, 750);

    DataGrid1 = new QTableView(Frame3);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setModel(DataGrid1Model);
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setFont(KurdishFont(11));
    DataGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DataGrid1->verticalHeader()->setDefaultSectionSize(22);
    DataGrid1->verticalHeader()->hide();   // both columns fit at their widths, with room for the scroll bar
    DataGrid1->horizontalHeader()->setFont(KurdishFont(9, true));
    DataGrid1->setColumnWidth(0, Twips(3390));
    DataGrid1->setColumnWidth(1, Twips(6765));
    PlaceTwips(DataGrid1, 120, 1080, 10455, 2775);

    Text2 = MakeHiddenField(this);
    Text3 = MakeHiddenField(this);
    Text5 = MakeHiddenField(this);
    Text6 = MakeHiddenField(this);
    Text7 = MakeHiddenField(this);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/images/panel.png")));
    Picture1->setScaledContents(true);
    PlaceTwips(Picture1, 240, 4935, 10485, 885);

    Check2 = new QCheckBox(Picture1);
    Check2->setToolTip(Varin2Text::kCheck2Tip);
    Check2->setFont(KurdishFont(8.25, true));
    PlaceTwips(Check2, 945, 30, 1500, 330);
    Check1 = new QCheckBox(Picture1);
    Check1->setToolTip(Varin2Text::kCheck1Tip);
    Check1->setFont(KurdishFont(8.25, true));
    PlaceTwips(Check1, 2625, 30, 1500, 330);

    Combo1 = new QComboBox(Picture1);
    Combo1->setToolTip(Varin2Text::kCombo1Tip);
    PlaceTwips(Combo1, 120, 450, 900, 345);
    Combo4 = new QComboBox(Picture1);
    Combo4->setToolTip(Varin2Text::kCombo4Tip);
    Combo4->setFont(KurdishFont(8.25));
    PlaceTwips(Combo4, 1080, 450, 1800, 345);
    Slider1 = new QSlider(Qt::Horizontal, Picture1);
    Slider1->setRange(1, 5);
    Slider1->setToolTip(Varin2Text::kSlider1Tip);
    PlaceTwips(Slider1, 2970, 450, 1320, 345);
    Slider3 = new QSlider(Qt::Horizontal, Picture1);
    Slider3->setObjectName(QStringLiteral("Slider3"));
    Slider3->setRange(0, 3);
    Slider3->setPageStep(1);
    Slider3->setValue(2);               // agrees with the design caption of TE3
    Slider3->setTracking(false);        // a drag notifies as sliderMoved, the drop as a change
    Slider3->setToolTip(Varin2Text::kSlider3Tip);
    PlaceTwips(Slider3, 4380, 450, 1320, 345);
    TE3 = new FormLabel(QStringLiteral("75"), Picture1);
    TE3->setObjectName(QStringLiteral("TE3"));
    TE3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceTwips(TE3, 5730, 450, 420, 345);
    Label2 = new QLabel(QStringLiteral("%"), Picture1);
    PlaceTwips(Label2, 6150, 450, 240, 345);
    Label1 = new FormLabel(Varin2Text::kLabel1, Picture1);
    Label1->setFont(KurdishFont(9, true));
    Label1->setLayoutDirection(Qt::RightToLeft);
    PlaceTwips(Label1, 6720, 240, 3600, 450);
    Label = new FormLabel(Varin2Text::kLabel, this);
    Label->hide();
    Label3 = new FormLabel(QStringLiteral("Label3"), this);
    Label3->hide();

    NameControls();
    Text->raise();
    setFocusProxy(Text);   // typing starts in the search field

    Timer0 = new FormTimer(this);
    Timer1 = new FormTimer(this, 2000);
    Timer2 = new FormTimer(this);
    Timer3 = new FormTimer(this);
    Timer8 = new FormTimer(this);

    connect(Text, &QLineEdit::textChanged, this, [this] { Unguarded("Text_Change", [this] { Text_Change(); }); });
    // Each look-up runs with the mode shown until then, so a move needs a
    // notification while the slider stands at its new place and the mode is
    // still the old one (actionTriggered: key, Page key, wheel, click on the
    // groove) before the value change that looks up with the new mode. A drag
    // notifies as it moves and once more when released, in case it ends where
    // it began and no value change follows.
    const auto slider = [this] { Unguarded("Slider3_Change", [this] { Slider3_Change(); }); };
    connect(Slider3, &QSlider::valueChanged, this, slider);
    connect(Slider3, &QSlider::actionTriggered, this, slider);
    connect(Slider3, &QSlider::sliderMoved, this, slider);
    connect(Slider3, &QSlider::sliderReleased, this, slider);
    connect(Label3, &FormLabel::Change, this, [this] { Unguarded("Label3_Change", [this] { Label3_Change(); }); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Unguarded("Text2_Change", [this] { Text2_Change(); }); });
    // Like bound fields, a window's write of Text2/Text3 sets the column of a
    // pending new entry (the store ignores it when none is pending); the
    // cursor's own writes only show the entry.
    connect(Text2, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!fillingBoundFields_)
            Data1->SetField(WordStore::Field::English, text);
    });
    connect(Text3, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!fillingBoundFields_)
            Data1->SetField(WordStore::Field::Kurdish, text);
    });
    connect(Command6, &QPushButton::clicked, this, [this] { Unguarded("Command6_Click", [this] { Command6_Click(); }); });
    connect(Command7, &QPushButton::clicked, this, [this] { Unguarded("Command7_Click", [this] { Command7_Click(); }); });
    ConnectKeyboard();
    ConnectSettings();
    connect(Timer2, &FormTimer::Timer, this, [this] { Unguarded("Timer2_Timer", [this] { Timer2_Timer(); }); });
    connect(Command3, &QPushButton::clicked, this, [this] { Unguarded("Command3_Click", [this] { Command3_Click(); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { Unguarded("Command2_Click", [this] { Command2_Click(); }); });
    connect(DataGrid1, &QTableView::clicked, this, [this] { Unguarded("DataGrid1_Click", [this] { DataGrid1_Click(); }); });
    ConnectSpeech();
    // The grid's current row is the cursor: moving it with the mouse or keys moves the cursor.
    connect(DataGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (followingCursor_ || !current.isValid())
                    return;
                Unguarded("DataGrid1_RowColChange", [&] { Data1->MoveTo(current.row()); });
            });
}

void Varin2::OpenWordStore()
{
    try {
        Data1->Adopt(storeReading_.get());
    } catch (const StoreError& e) {
        QString ku;
        switch (e.kind) {
        case StoreError::Missing: ku = QStringLiteral("فایلەکە نەدۆزرایەوە."); break;
        case StoreError::Unreadable: ku = QStringLiteral("ناتوانرێت فایلەکە بخوێندرێتەوە."); break;
        case StoreError::NoWordTable: ku = QStringLiteral("خشتەی وشەکان لە فایلەکەدا نییە."); break;
        default: ku = QStringLiteral("فایلەکە تێکچووە یان هی ئەم بەرنامەیە نییە (کلیلی هەڵە)."); break;
        }
        const QString file = QDir::toNativeSeparators(storePath_);
        // Told once the window is shown (showEvent): here, inside the load, the
        // box would stop the start-up and end up behind the window.
        storeNotice_ = QStringLiteral("بنکەی وشەکان نەکرایەوە:\n%1\n%2\nفەرهەنگەکە بەبێ وشە دەکرێتەوە؛ هیچ شتێک لە فایلەکەدا نەگۆڕا.\n\n"
                                      "The word database could not be opened:\n%1\n%3.\n"
                                      "The dictionary opens without words; nothing was written to the file.")
                       .arg(file, ku, e.message());
    }
}

void Varin2::Form_Load()
{
    CentreOnScreen(this);   // centred when first shown
    // The data control opens the store as the window loads: the whole table.
    OpenWordStore();
    ResumeNext({
        [this] { RestoreFirstChoices(); },   // 1. six choices read, match mode set
        [this] { FillPitchLists(); },        // 2. loads the reader, hidden
        [this] { RestoreListAndChecks(); },  // 3. pitch index, check boxes
        [this] { spt = Speech().NewVoice(); },   // 4. the voice object
        [this] { Skin1.ApplySkin(this); },   // 5. skin
        [this] { FillVoiceLists(); },
        [this] { RestoreVoiceAndSpeed(); },  // 7. voice index, speed
        [this] { Text->setText(QString()); },
        [this] { Timer3->setInterval(3000); },
    });
}

namespace {

// Filling raises nothing and leaves no item chosen, in this window's lists
// and the reader's alike (a list of Qt's own would choose its first item):
// the restore or the reader's opening chooses.
void FillWithoutChoice(QComboBox* list, const QStringList& items)
{
    const QSignalBlocker quiet(list);
    list->addItems(items);
    list->setCurrentIndex(-1);
}

}  // namespace

void Varin2::FillPitchLists()
{
    // 84 to 334 in steps of 10: engine B's pitch is the item's text as a number.
    QStringList pitches;
    for (int pitch = 84; pitch <= 334; pitch += 10)
        pitches << QString::number(pitch);
    FillWithoutChoice(Combo1, pitches);
    FillWithoutChoice(forms().Varin3().Combo1, pitches);
}

void Varin2::FillVoiceLists()
{
    // Item 0 is engine A; items 1 to 18 are engine B's voices of the same number.
    QStringList voices{QStringLiteral("Microsoft Sam")};
    for (int voice = 1; voice <= 18; ++voice)
        voices << Varin2Text::kVoicePrefix + QString::number(voice);
    FillWithoutChoice(Combo4, voices);
    FillWithoutChoice(forms().Varin3().Combo4, voices);
}

void Varin2::FollowCursor()
{
    // The bound fields follow every query and move; Text2 last, so that its
    // change handler sees the whole entry.
    const WordStore::Entry e = Data1->Current();
    {
        QScopedValueRollback<bool> filling(fillingBoundFields_, true);
        Text3->setText(e.Kurdish);
        Text5->setText(e.Note);
        Text2->setText(e.English);
    }
    const int row = Data1->Position();
    followingCursor_ = true;
    if (row >= 0)
        DataGrid1->selectionModel()->setCurrentIndex(DataGrid1Model->index(row, 0),
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        DataGrid1->selectionModel()->clear();
    followingCursor_ = false;
}

void Varin2::Slider3_Change()
{
    // The look-up runs with the mode shown until now; the new one applies from the next run.
    Text_Change();
    TE3->setCaption(QString::number(MatchModeNumber(Slider3->sliderPosition())));
}

void Varin2::Label3_Change()
{
    Text->setText(Label3->Caption());
}

void Varin2::Text2_Change()
{
    PronounceCurrentWord();
}

void Varin2::DataGrid1_Click()
{
    PronounceCurrentWord();
}

void Varin2::Timer2_Timer()
{
    Text1->setText(Text3->text());
    Text4->setText(Text2->text());
}

// The about window, modal: this window takes no input until it closes, while
// its timers keep ticking.
void Varin2::Command2_Click()
{
    forms().Varin1().ShowModal(this);
}
