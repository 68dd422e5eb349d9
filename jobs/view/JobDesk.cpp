#include "JobDesk.h"

#include <QCompleter>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>
#include <cmath>
#include <ctime>

#include "JobFormat.h"
#include "JobReport.h"
#include "JobSettings.h"
#include "JobTexts.h"
#include "JobViewText.h"
#include "ReportFiles.h"
#include "Units.h"

namespace qv::jobs {
namespace {

std::string S(const QString& s) { return s.toStdString(); }

std::string LocalNow(const char* format) {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, format, &tm);
  return buf;
}

std::string Verdict(const std::optional<Capture>& c, Language lang) {
  if (!c) return std::string(JobText(JobTextId::kNotTaken, lang));
  return std::string(JobText(c->InSync() ? JobTextId::kInSync : JobTextId::kNotInSync, lang));
}

QString Summary(const std::optional<Capture>& c, JobTextId name, Language lang) {
  QString text = Q(std::string(JobText(name, lang))) + QStringLiteral(": ");
  if (!c) return text + Q(std::string(JobText(JobTextId::kNotTakenYet, lang)));
  text += Q(c->taken.substr(c->taken.size() > 8 ? c->taken.size() - 8 : 0)) + QStringLiteral("  ");
  for (int i = 0; i < c->channelCount; ++i)
    text += Q(Number(c->cylinders[static_cast<std::size_t>(i)].difference, c->unit, lang, true)) + QLatin1Char(' ');
  return text + Q(std::string(workshop::UnitLabel(c->unit))) + QStringLiteral(" – ") + Q(Verdict(c, lang));
}

}  // namespace

JobDesk::JobDesk(Language lang, Places places, std::function<bool(const QString&)> confirm,
                 std::function<void(const QString&)> open, QWidget* parent)
    : QDockWidget(parent),
      lang_(lang),
      places_(std::move(places)),
      confirm_(std::move(confirm)),
      open_(std::move(open)) {
  if (places_.reports.empty()) places_.reports = DefaultReportFolder();
  if (places_.settings.empty()) places_.settings = JobSettingsPath();
  auto t = [this](JobTextId id) { return Q(std::string(JobText(id, lang_))); };
  setObjectName(QStringLiteral("jobDesk"));
  setWindowTitle(t(JobTextId::kDeskTitle));
  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);
  auto* form = new QFormLayout;
  auto field = [&](JobTextId label, const char* name) {
    auto* e = new QLineEdit(body);
    e->setObjectName(QString::fromLatin1(name));
    form->addRow(t(label), e);
    return e;
  };
  registration_ = field(JobTextId::kRegistration, "registration");
  vin_ = field(JobTextId::kVin, "vin");
  make_ = field(JobTextId::kMake, "make");
  model_ = field(JobTextId::kModel, "model");
  odometer_ = field(JobTextId::kOdometer, "odometer");
  customer_ = field(JobTextId::kCustomer, "customer");
  mechanic_ = field(JobTextId::kMechanic, "mechanic");
  notes_ = new QPlainTextEdit(body);
  notes_->setObjectName(QStringLiteral("notes"));
  notes_->setMaximumHeight(90);
  form->addRow(t(JobTextId::kNotes), notes_);
  column->addLayout(form);
  last_time_ = new QLabel(body);
  last_time_->setWordWrap(true);
  column->addWidget(last_time_);

  auto* buttons = new QHBoxLayout;
  auto button = [&](JobTextId label, JobTextId tip, auto slot) {
    auto* b = new QPushButton(t(label), body);
    if (tip != label) b->setToolTip(t(tip));
    connect(b, &QPushButton::clicked, this, slot);
    buttons->addWidget(b);
  };
  button(JobTextId::kBefore, JobTextId::kBeforeTip, &JobDesk::TakeBefore);
  button(JobTextId::kAfter, JobTextId::kAfterTip, &JobDesk::TakeAfter);
  button(JobTextId::kReport, JobTextId::kReportTip, &JobDesk::WriteReport);
  button(JobTextId::kNewJob, JobTextId::kNewJob, &JobDesk::NewJob);
  column->addLayout(buttons);
  before_ = new QLabel(body);
  after_ = new QLabel(body);
  status_ = new QLabel(body);
  status_->setWordWrap(true);
  for (QLabel* l : {before_, after_, status_}) column->addWidget(l);
  column->addStretch();
  setWidget(body);

  // A vehicle on record is offered as its registration or VIN is typed.
  known_ = new QStringListModel(this);
  auto* completer = new QCompleter(known_, this);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  registration_->setCompleter(completer);
  connect(registration_, &QLineEdit::textEdited, this, &JobDesk::LookUpVehicle);
  connect(completer, qOverload<const QString&>(&QCompleter::activated), this, &JobDesk::LookUpVehicle);

  mechanic_->setText(Q(LoadJobSettings(places_.settings).mechanic));
  OpenDatabase();
  ShowJob();
}

JobDesk::~JobDesk() = default;

void JobDesk::OpenDatabase() {
  OpenResult r;
  db_ = JobDatabase::Open(places_.database, r);
  if (db_) return;
  const QString problem = Q(OpenProblemText(r, places_.database.string(), lang_));
  // A file that is there but not usable is kept; a new one goes beside it
  // only when the user agrees.
  if (r.status != OpenStatus::kFailed && confirm_ &&
      confirm_(problem + QStringLiteral("\n\n") + Q(std::string(JobText(JobTextId::kDbAskNew, lang_))))) {
    try {
      const auto aside = JobDatabase::SetAside(places_.database);
      db_ = JobDatabase::Open(places_.database, r);
      if (db_) {
        Say(Q(JobText(JobTextId::kDbSetAside, lang_, {aside.string()})));
        return;
      }
    } catch (const std::exception& e) {
      Say(Q(JobText(JobTextId::kNoHistory, lang_, {e.what()})));
      return;
    }
  }
  Say(Q(JobText(JobTextId::kNoHistory, lang_, {S(problem)})));
}

void JobDesk::Feed(double seconds, const workshop::Reading& reading) { capture_.Add(seconds, reading); }

void JobDesk::TakeBefore() { Take(CaptureKind::Before); }
void JobDesk::TakeAfter() { Take(CaptureKind::After); }

void JobDesk::Take(CaptureKind kind) {
  const CaptureResult r = capture_.Take(LocalNow("%Y-%m-%d %H:%M:%S"));
  if (!r.capture) {
    Say(Q(RefusalText(r, capture_.Window(), lang_)));
    return;
  }
  (kind == CaptureKind::Before ? job_.before : job_.after) = r.capture;
  job_.engineSeconds = capture_.EngineSeconds();
  FromForm();
  const std::string name(JobText(kind == CaptureKind::Before ? JobTextId::kBefore : JobTextId::kAfter, lang_));
  QString said =
      Q(JobText(JobTextId::kCaptured, lang_, {name, std::to_string(std::lround(capture_.Window())), r.capture->taken}));
  if (Save()) said += QStringLiteral(" · ") + Q(JobText(JobTextId::kJobSaved, lang_, {std::to_string(job_.id)}));
  ShowJob();
  Say(said);
}

void JobDesk::FromForm() {
  job_.vehicle = {S(make_->text().trimmed()), S(model_->text().trimmed()), S(registration_->text().trimmed()),
                  S(vin_->text().trimmed()), S(odometer_->text().trimmed())};
  job_.customer = S(customer_->text().trimmed());
  job_.mechanic = S(mechanic_->text().trimmed());
  job_.notes = S(notes_->toPlainText());
  // The mechanic is remembered for the next job.
  JobSettings s = LoadJobSettings(places_.settings);
  if (s.mechanic != job_.mechanic) {
    s.mechanic = job_.mechanic;
    try {
      SaveJobSettings(s, places_.settings);
    } catch (const std::exception&) {
      // Not remembering a name is no reason to stop the job.
    }
  }
}

bool JobDesk::Save() {
  if (!db_) return false;
  try {
    db_->Save(job_);
    return true;
  } catch (const std::exception& e) {
    Say(Q(JobText(JobTextId::kDbSaveFailed, lang_, {e.what()})));
    return false;
  }
}

void JobDesk::WriteReport() {
  if (!job_.before && !job_.after) {
    Say(Q(std::string(JobText(JobTextId::kReportNeedsCapture, lang_))));
    return;
  }
  FromForm();
  if (job_.id == 0) Save();  // the report names the job's number
  try {
    const QByteArray pdf = RenderJobReport(job_, LoadJobSettings(places_.settings).workshopName, lang_);
    const auto path = SaveNewReport(places_.reports, ReportStem(job_.vehicle, LocalNow("%Y-%m-%d"), lang_),
                                    std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    job_.reportPath = path.string();
    Save();
    Say(Q(JobText(JobTextId::kReportWritten, lang_, {path.string()})));
    if (open_) open_(Q(path.string()));
  } catch (const std::exception& e) {
    Say(Q(JobText(JobTextId::kReportFailed, lang_, {e.what()})));
  }
}

void JobDesk::NewJob() {
  job_ = Job{};
  capture_.ResetEngineTime();
  for (QLineEdit* e : {make_, model_, registration_, vin_, odometer_, customer_}) e->clear();
  notes_->clear();
  last_time_->clear();
  ShowJob();
}

void JobDesk::SetVehicle(const Vehicle& v) {
  registration_->setText(Q(v.registration));
  vin_->setText(Q(v.vin));
  make_->setText(Q(v.make));
  model_->setText(Q(v.model));
  odometer_->setText(Q(v.odometer));
}

void JobDesk::SetPeople(const std::string& customer, const std::string& mechanic, const std::string& notes) {
  customer_->setText(Q(customer));
  mechanic_->setText(Q(mechanic));
  notes_->setPlainText(Q(notes));
}

void JobDesk::LookUpVehicle(const QString& typed) {
  if (!db_) return;
  const std::string text = S(typed.trimmed());
  QStringList offers;
  try {
    for (const Vehicle& v : db_->Vehicles(text)) offers << Q(v.registration.empty() ? v.vin : v.registration);
    known_->setStringList(offers);
    const auto prev = text.empty() ? std::nullopt : db_->Previous(text, job_.id);
    if (!prev) {
      last_time_->clear();
      return;
    }
    // A vehicle on record: its details, and how it was last time.
    if (make_->text().isEmpty()) make_->setText(Q(prev->vehicle.make));
    if (model_->text().isEmpty()) model_->setText(Q(prev->vehicle.model));
    if (vin_->text().isEmpty()) vin_->setText(Q(prev->vehicle.vin));
    if (customer_->text().isEmpty()) customer_->setText(Q(prev->customer));
    last_time_->setText(Q(JobText(JobTextId::kLastTime, lang_,
                                  {prev->created, Verdict(prev->before, lang_), Verdict(prev->after, lang_)})) +
                        QStringLiteral("\n") + Summary(prev->before, JobTextId::kBefore, lang_) + QStringLiteral("\n") +
                        Summary(prev->after, JobTextId::kAfter, lang_));
  } catch (const std::exception& e) {
    Say(Q(JobText(JobTextId::kNoHistory, lang_, {e.what()})));
  }
}

void JobDesk::ShowJob() {
  before_->setText(Summary(job_.before, JobTextId::kBefore, lang_));
  after_->setText(Summary(job_.after, JobTextId::kAfter, lang_));
}

void JobDesk::Say(const QString& text) { status_->setText(text); }
QString JobDesk::StatusText() const { return status_->text(); }
QString JobDesk::LastTimeText() const { return last_time_->text(); }

}  // namespace qv::jobs
