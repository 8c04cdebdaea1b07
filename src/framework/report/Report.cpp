#include "Report.h"

#include "LayoutEngine.h"
#include "Painter.h"
#include "PreviewDialog.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <stdexcept>

namespace report {

namespace {

PreviewSink& sinkSlot()
{
    static PreviewSink sink;
    return sink;
}

int slot(BandKind kind)
{
    if (kind == BandKind::GroupHeader || kind == BandKind::GroupFooter)
        throw std::invalid_argument("group bands belong to their group: use Report::addGroup()");
    return int(kind);
}

}  // namespace

void setPreviewSink(PreviewSink sink)
{
    sinkSlot() = std::move(sink);
}

const PreviewSink& previewSink()
{
    return sinkSlot();
}

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
    m_baseFont.setFamily(QStringLiteral("Arial"));
    m_baseFont.setPointSizeF(10);
}

Report::~Report() = default;

QSizeF Report::paperSize() const
{
    const QSizeF s = m_pageSize.size(QPageSize::Millimeter);
    return m_orientation == QPageLayout::Landscape ? s.transposed() : s;
}

double Report::bandWidth() const
{
    return paperSize().width() - m_margins.left() - m_margins.right();
}

void Report::setBaseFont(const QString& family, double pointSize)
{
    m_baseFont = QFont();
    m_baseFont.setFamily(family);
    m_baseFont.setPointSizeF(pointSize);
}

Band& Report::addBand(BandKind kind, double heightMm)
{
    auto& b = m_bands[slot(kind)];
    if (!b)
        b = std::make_unique<Band>(*this, kind);
    b->setHeight(heightMm);
    return *b;
}

Band* Report::band(BandKind kind) const
{
    if (kind == BandKind::GroupHeader || kind == BandKind::GroupFooter)
        return nullptr;
    return m_bands[int(kind)].get();
}

void Report::removeBand(BandKind kind)
{
    m_bands[slot(kind)].reset();
}

Group& Report::addGroup(const QString& field)
{
    auto& g = addGroup(Expression());
    g.setField(field);
    return g;
}

Group& Report::addGroup(Expression expr)
{
    m_groups.push_back(std::make_unique<Group>(*this, std::move(expr)));
    return *m_groups.back();
}

void Report::removeGroup(Group* g)
{
    std::erase_if(m_groups, [g](const std::unique_ptr<Group>& p) { return p.get() == g; });
}

Document Report::run()
{
    if (m_engine)
        throw std::logic_error("a report cannot run inside its own run");
    installFontSubstitutions();
    detail::Engine engine(*this);
    struct Reset {
        detail::Engine*& slot;
        ~Reset() { slot = nullptr; }
    } reset{m_engine};
    m_engine = &engine;
    return engine.run();
}

QVariant Report::value(const QString& field) const
{
    if (m_engine)
        return m_engine->value(field);
    if (m_source && !m_source->eof())
        return m_source->value(field);
    return {};
}

int Report::pageNumber() const
{
    return m_engine ? m_engine->pageNumber() : 0;
}

int Report::pageCount() const
{
    return m_engine ? m_engine->pageCount() : 0;
}

int Report::recordNumber() const
{
    return m_engine ? m_engine->recordNumber() : 0;
}

bool Report::isLastPage() const
{
    return m_engine && m_engine->isLastPage();
}

QDateTime Report::runTime() const
{
    if (m_engine)
        return m_engine->now();
    return m_now.isValid() ? m_now : QDateTime::currentDateTime();
}

void Report::preview(QWidget* parent)
{
    Document doc = run();
    if (const PreviewSink& sink = previewSink()) {
        sink(*this, doc);
        return;
    }
    if (doc.pageCount() == 0)
        return;
    PreviewDialog dialog(*this, std::move(doc), parent);
    dialog.exec();
}

bool Report::exportPdf(const QString& path, QString* error)
{
    return writePdf(run(), path, error);
}

bool Report::print(QPrinter* printer)
{
    return printDocument(run(), printer);
}

}  // namespace report
