#include "report/Report.h"

#include "report/LayoutEngine.h"
#include "report/Painter.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPdfWriter>
#include <QPrinter>
#include <limits>
#include <QGuiApplication>
#include <stdexcept>

namespace report {

namespace {

int slot(BandKind kind)
{
    if (kind == BandKind::GroupHeader || kind == BandKind::GroupFooter)
        throw std::invalid_argument("group bands belong to their group: use Report::addGroup()");
    return int(kind);
}

}  // namespace

void installFontSubstitutions()
{
    static bool done = false;
    if (done || !qGuiApp)
        return;
    done = true;
    static const char* const pairs[][2] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& p : pairs) {
        const QString from = QString::fromLatin1(p[0]);
        if (!QFontDatabase::hasFamily(from))
            QFont::insertSubstitution(from, QString::fromLatin1(p[1]));
    }
}

Report::Report()
{
    baseFont_.setFamily(QStringLiteral("Arial"));
    baseFont_.setPointSizeF(10);
}

Report::~Report() = default;

QSizeF Report::paperSize() const
{
    const QSizeF s = pageSize_.size(QPageSize::Millimeter);
    return orientation_ == QPageLayout::Landscape ? s.transposed() : s;
}

double Report::bandWidth() const
{
    return paperSize().width() - margins_.left() - margins_.right();
}

void Report::setBaseFont(const QString& family, double pointSize)
{
    baseFont_ = QFont();
    baseFont_.setFamily(family);
    baseFont_.setPointSizeF(pointSize);
}

Band& Report::addBand(BandKind kind, double heightMm)
{
    auto& b = bands_[slot(kind)];
    if (!b)
        b = std::make_unique<Band>(*this, kind);
    b->setHeight(heightMm);
    return *b;
}

Band* Report::band(BandKind kind) const
{
    if (kind == BandKind::GroupHeader || kind == BandKind::GroupFooter)
        return nullptr;
    return bands_[int(kind)].get();
}

void Report::removeBand(BandKind kind)
{
    bands_[slot(kind)].reset();
}

Group& Report::addGroup(const QString& field)
{
    auto& g = addGroup(Expression());
    g.setField(field);
    return g;
}

Group& Report::addGroup(Expression expr)
{
    groups_.push_back(std::make_unique<Group>(*this, std::move(expr)));
    return *groups_.back();
}

void Report::removeGroup(Group* g)
{
    std::erase_if(groups_, [g](const std::unique_ptr<Group>& p) { return p.get() == g; });
}

Document Report::run()
{
    return run(nullptr);
}

Document Report::run(const std::function<void(const Page&)>& sink)
{
    if (engine_)
        throw std::logic_error("a report cannot run inside its own run");
    installFontSubstitutions();
    detail::Engine engine(*this, sink);
    struct Reset {
        detail::Engine*& slot;
        ~Reset() { slot = nullptr; }
    } reset{engine_};
    engine_ = &engine;
    return engine.run();
}

QVariant Report::value(const QString& field) const
{
    if (engine_)
        return engine_->value(field);
    if (source_ && !source_->eof())
        return source_->value(field);
    return {};
}

QString Report::displayFormat(const QString& field) const
{
    if (dataRequest_ || !source_)
        return {};
    return source_->displayFormat(field);
}

int Report::pageNumber() const
{
    return engine_ ? engine_->pageNumber() : 0;
}

int Report::pageCount() const
{
    return engine_ ? engine_->pageCount() : 0;
}

int Report::recordNumber() const
{
    return engine_ ? engine_->recordNumber() : 0;
}

bool Report::isLastPage() const
{
    return engine_ && engine_->isLastPage();
}

QDateTime Report::runTime() const
{
    if (engine_)
        return engine_->now();
    return now_.isValid() ? now_ : QDateTime::currentDateTime();
}

bool Report::exportPdf(const QString& path, QString* error)
{
    const QPageLayout layout(pageSize_, orientation_, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPdfWriter writer(path);
    writer.setResolution(int(detail::kLayoutDpi));
    writer.setPageLayout(layout);
    writer.setTitle(title_);
    writer.setCreator(QCoreApplication::applicationName());
    PageWriter out(writer);
    const Document doc = run([&out](const Page& page) { out.add(page); });
    if (doc.pages.isEmpty()) {
        if (error)
            *error = QStringLiteral("O relatório não tem páginas.");
        return false;
    }
    if (!out.end()) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1.").arg(path);
        return false;
    }
    return true;
}

bool Report::print(QPrinter* printer)
{
    if (!printer)
        return false;
    printer->setFullPage(true);
    printer->setPageLayout(QPageLayout(pageSize_, orientation_, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    if (printer->docName().isEmpty())
        printer->setDocName(title_);
    // The printer's page range, known before the pages are.
    const int from = std::max(1, printer->fromPage());
    const int to = printer->toPage() > 0 ? std::max(from, printer->toPage()) : std::numeric_limits<int>::max();
    PageWriter out(*printer);
    int number = 0;
    const Document doc = run([&](const Page& page) {
        ++number;
        if (number >= from && number <= to)
            out.add(page);
    });
    return out.end();
}

}  // namespace report
