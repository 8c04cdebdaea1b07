#include "LayoutEngine.h"

#include <QImage>
#include <algorithm>

namespace report::detail {

const QPaintDevice* layoutDevice()
{
    static const QImage device = [] {
        QImage im(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(kLayoutDpi / 0.0254);
        im.setDotsPerMeterX(dpm);
        im.setDotsPerMeterY(dpm);
        return im;
    }();
    return &device;
}

QFont layoutFont(QFont f)
{
    // Hinted advances depend on the pixel size; unhinted ones scale, so the preview,
    // the printer and the PDF keep the widths the layout measured.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

FontEntry::FontEntry(const QFont& f)
    : font(f),
      metrics(f, layoutDevice()),
      ascent(metrics.ascent() * kMmPerUnit),
      height(metrics.height() * kMmPerUnit),
      lineSpacing(metrics.lineSpacing() * kMmPerUnit)
{
}

QStringList wrapText(const QString& text, const FontEntry& font, double width)
{
    constexpr double eps = 1e-6;
    QStringList out;
    for (QString para : text.split(QLatin1Char('\n'))) {
        para.remove(QLatin1Char('\r'));
        const QStringList words = para.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty()) {
            out << QString();
            continue;
        }
        QString line;
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (font.width(candidate) <= width + eps) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                out << line;
            line.clear();
            if (font.width(word) <= width + eps) {
                line = word;
                continue;
            }
            // A word longer than the line is cut where it overflows.
            for (QChar c : word) {
                if (!line.isEmpty() && font.width(line + c) > width + eps) {
                    out << line;
                    line.clear();
                }
                line += c;
            }
        }
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

Engine::Engine(Report& report) : m_r(report)
{
    static quint64 runs = 0;
    m_runId = ++runs;
}

void Engine::collect(Band* b)
{
    if (!b)
        return;
    for (const auto& e : b->elements()) {
        if (e->kind() == Element::Kind::DataText) {
            const auto& d = static_cast<const DataText&>(*e);
            if (!d.field().isEmpty())
                m_askedNames.insert(d.field());
        }
        if (e->kind() != Element::Kind::RunningSum)
            continue;
        auto* s = static_cast<RunningSum*>(e.get());
        const Group* g = s->resetGroup() ? s->resetGroup() : b->group();
        if (!g && !m_r.m_groups.empty())
            g = m_r.m_groups.back().get();
        if (!s->m_field.isEmpty())
            m_askedNames.insert(s->m_field);
        m_sums.push_back(s);
        m_sumGroups.push_back(g);
    }
}

Document Engine::run()
{
    m_now = m_r.m_now.isValid() ? m_r.m_now : QDateTime::currentDateTime();
    m_doc.pageSize = m_r.m_pageSize;
    m_doc.orientation = m_r.m_orientation;
    m_doc.title = m_r.m_title;

    if (m_r.m_onStart)
        m_r.m_onStart(m_r);
    // The start event may rearrange the report, so the bands are read after it.
    for (const auto& b : m_r.m_bands)
        collect(b.get());
    for (const auto& g : m_r.m_groups) {
        collect(&g->header());
        collect(&g->footer());
    }
    for (RunningSum* s : m_sums)
        s->m_sum = 0;
    if (!m_r.m_dataRequest && m_r.m_source)
        m_fieldNames = m_r.m_source->fieldNames();

    bool has = fetchFirst();
    if (!has && !m_r.m_printIfEmpty)
        return std::move(m_doc);
    const bool hadRecords = has;
    ensurePage();

    const auto& groups = m_r.m_groups;
    const qsizetype n = qsizetype(groups.size());
    QVariantList values(n);
    QVariantList current(n);
    while (has) {
        ++m_recordNo;
        for (qsizetype i = 0; i < n; ++i)
            current[i] = groups[i]->expression() ? groups[i]->expression()(m_r) : QVariant();
        qsizetype changed = -1;
        if (m_recordNo == 1)
            changed = n > 0 ? 0 : -1;
        else
            for (qsizetype i = 0; i < n && changed < 0; ++i)
                if (current[i] != values[i])
                    changed = i;
        if (changed >= 0) {
            if (m_recordNo > 1) {
                // Footers close the groups with their last record's values.
                m_useSnapshot = true;
                for (qsizetype j = n - 1; j >= changed; --j)
                    printBand(&groups[j]->footer());
                m_useSnapshot = false;
            }
            for (qsizetype j = changed; j < n; ++j) {
                startGroup(groups[j].get());
                if (groups[j]->newPage() && !atTop())
                    finishPage(false);
                printBand(&groups[j]->header());
            }
        }
        values = current;
        printBand(m_r.band(BandKind::Detail), true);
        takeSnapshot();
        has = fetchNext();
    }

    m_useSnapshot = hadRecords;
    if (hadRecords)
        for (qsizetype j = n - 1; j >= 0; --j)
            printBand(&groups[j]->footer());
    printBand(m_r.band(BandKind::Summary));

    if (m_pageOpen) {
        finishPage(true);
    } else if (Band* f = m_r.band(BandKind::PageFooter); f && !f->printOnLastPage() && !m_doc.pages.isEmpty()) {
        // The last page was closed for a band that then did not print: its footer goes.
        const auto [first, count] = m_footerItems.back();
        if (first >= 0) {
            m_doc.pages.last().items.remove(first, count);
            const int last = m_doc.pageCount() - 1;
            std::erase_if(m_pendingCounts, [&](const PendingCount& p) { return p.page == last && p.first >= first; });
        }
    }
    m_useSnapshot = false;
    patchPageCounts();
    return std::move(m_doc);
}

bool Engine::fetchFirst()
{
    if (m_r.m_dataRequest) {
        m_line.clear();
        return m_r.m_dataRequest(m_line);
    }
    RecordSource* s = m_r.m_source;
    if (!s || s->isEmpty())
        return false;
    s->first();
    return !s->eof();
}

bool Engine::fetchNext()
{
    if (m_r.m_dataRequest) {
        m_line.clear();
        return m_r.m_dataRequest(m_line);
    }
    m_r.m_source->next();
    return !m_r.m_source->eof();
}

void Engine::takeSnapshot()
{
    if (m_r.m_dataRequest) {
        m_snapshot = m_line;
        return;
    }
    RecordSource* s = m_r.m_source;
    if (!s)
        return;
    if (!m_fieldNames.isEmpty()) {
        for (const QString& name : std::as_const(m_fieldNames))
            m_snapshot.insert(name, s->value(name));
    } else {
        for (const QString& name : std::as_const(m_askedNames))
            m_snapshot.insert(name, s->value(name));
    }
}

QVariant Engine::value(const QString& field) const
{
    if (m_useSnapshot) {
        auto it = m_snapshot.constFind(field);
        if (it != m_snapshot.constEnd())
            return *it;
    }
    if (m_r.m_dataRequest)
        return m_line.value(field);
    if (RecordSource* s = m_r.m_source) {
        if (m_fieldNames.isEmpty())
            m_askedNames.insert(field);
        return s->eof() ? QVariant() : s->value(field);
    }
    return {};
}

void Engine::startGroup(const Group* g)
{
    for (size_t i = 0; i < m_sums.size(); ++i)
        if (m_sums[i]->scope() == ResetScope::Group && m_sumGroups[i] == g)
            m_sums[i]->m_sum = 0;
}

void Engine::accumulate(std::vector<double>* saved)
{
    if (saved) {
        saved->clear();
        for (RunningSum* s : m_sums)
            saved->push_back(s->m_sum);
    }
    for (RunningSum* s : m_sums) {
        const QVariant v = s->term(m_r);
        if (v.isValid() && !v.isNull())
            s->m_sum += v.toDouble();
    }
}

bool Engine::printBand(Band* b, bool detail)
{
    if (!b || !b->isEnabled()) {
        if (detail)
            accumulate(nullptr);
        return false;
    }
    // The page is closed before the band's event when the band will not fit, so that a
    // page footer does not count a record that moves to the next page.
    if (m_pageOpen && !atTop() && !fits(b->height()))
        finishPage(false);
    if (b->beforePrint() && !b->beforePrint()(*b))
        return false;
    ensurePage();
    std::vector<double> saved;
    if (detail)
        accumulate(&saved);
    Rendered r = render(*b);
    if (!atTop() && !fits(r.height)) {
        // It grew past the page's end.
        if (detail)
            for (size_t i = 0; i < m_sums.size(); ++i)
                m_sums[i]->m_sum = saved[i];
        finishPage(false);
        ensurePage();
        if (detail)
            accumulate(nullptr);
        if (r.pageDependent)
            r = render(*b);
    }
    place(r, m_y);
    m_y += r.height;
    m_contentOnPage = true;
    if (b->afterPrint())
        b->afterPrint()(*b);
    return true;
}

void Engine::placeFixed(Band* b, std::optional<double> top)
{
    if (!b || !b->isEnabled())
        return;
    if (b->beforePrint() && !b->beforePrint()(*b))
        return;
    Rendered r = render(*b);
    place(r, top ? *top : m_y);
    if (!top)
        m_y += r.height;
    if (b->afterPrint())
        b->afterPrint()(*b);
}

void Engine::place(Rendered& r, double top)
{
    const double dx = m_r.m_margins.left();
    Page& page = m_doc.pages.last();
    const qsizetype base = page.items.size();
    page.items.reserve(base + r.items.size());
    for (Item& it : r.items) {
        it.rect.translate(dx, top);
        for (QPointF& o : it.origins)
            o += QPointF(dx, top);
        page.items.append(std::move(it));
    }
    for (const auto& [el, first, count] : r.pageCounts)
        m_pendingCounts.push_back({m_doc.pageCount() - 1, base + first, count, el, QPointF(dx, top)});
}

Engine::Rendered Engine::render(Band& b)
{
    Rendered r;
    double bottom = b.height();
    for (const auto& e : b.elements()) {
        if (!e->isEnabled())
            continue;
        switch (e->kind()) {
        case Element::Kind::Line: {
            const auto& l = static_cast<const LineElement&>(*e);
            Item it;
            it.kind = Item::Kind::Line;
            it.rect = QRectF(l.line().p1(), l.line().p2());
            it.penWidth = l.width();
            it.color = l.color();
            r.items.append(std::move(it));
            break;
        }
        case Element::Kind::Shape: {
            const auto& s = static_cast<const ShapeElement&>(*e);
            Item it;
            it.kind = Item::Kind::Rect;
            it.rect = s.geometry();
            it.penWidth = s.penWidth();
            it.color = s.penColor();
            it.fill = s.fill();
            r.items.append(std::move(it));
            break;
        }
        default: {
            auto& t = static_cast<TextElement&>(*e);
            const bool pageCount = e->kind() == Element::Kind::SystemField
                && static_cast<const SystemField&>(t).what() == SystemValue::PageCount;
            if (e->kind() == Element::Kind::RunningSum || e->kind() == Element::Kind::SystemField)
                r.pageDependent = true;
            QString text = t.content(m_r);
            if (t.onPrint())
                t.onPrint()(t, text);
            double elementBottom = 0;
            const qsizetype first = r.items.size();
            const qsizetype count = emitText(t, text, QPointF(), r.items, &elementBottom);
            if (t.autoStretch())
                bottom = std::max(bottom, elementBottom);
            if (pageCount)
                r.pageCounts.push_back({&t, first, count});
        }
        }
    }
    r.height = bottom;

    const Frame& f = b.frame();
    if (f.any() && bottom > 0) {
        const double w = m_r.bandWidth();
        auto line = [&](double x1, double y1, double x2, double y2) {
            Item it;
            it.kind = Item::Kind::Line;
            it.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
            it.penWidth = f.width;
            it.color = f.color;
            r.items.append(std::move(it));
        };
        if (f.top)
            line(0, 0, w, 0);
        if (f.bottom)
            line(0, bottom, w, bottom);
        if (f.left)
            line(0, 0, 0, bottom);
        if (f.right)
            line(w, 0, w, bottom);
    }
    return r;
}

const FontEntry& Engine::fontFor(const TextElement& el)
{
    if (el.m_fontRun == m_runId && el.m_fontEntry)
        return *static_cast<const FontEntry*>(el.m_fontEntry);
    const QFont f = layoutFont(el.fontSpec().resolve(m_r.m_baseFont));
    const QString key = f.key();
    auto it = m_fonts.find(key);
    if (it == m_fonts.end())
        it = m_fonts.emplace(key, std::make_unique<FontEntry>(f)).first;
    el.m_fontEntry = it->second.get();
    el.m_fontRun = m_runId;
    return *it->second;
}

qsizetype Engine::emitText(const TextElement& el, const QString& text, const QPointF& origin, QList<Item>& out,
                           double* bottom)
{
    constexpr double eps = 1e-6;
    const FontEntry& fe = fontFor(el);
    const qsizetype first = out.size();
    const double pad = el.padding();
    QRectF box = el.geometry().translated(origin);
    if (box.height() <= 0)
        box.setHeight(fe.height + 2 * pad);

    QStringList lines;
    if (!text.isEmpty()) {
        if (el.wordWrap() && !el.autoSize() && box.width() - 2 * pad > 0)
            lines = wrapText(text, fe, box.width() - 2 * pad);
        else
            lines = text.split(QLatin1Char('\n'));
    }
    QVarLengthArray<double, 4> widths;
    double maxWidth = 0;
    for (const QString& l : std::as_const(lines)) {
        widths.append(fe.width(l));
        maxWidth = std::max(maxWidth, widths.back());
    }

    const Qt::Alignment h = el.alignment() & Qt::AlignHorizontal_Mask;
    const Qt::Alignment v = el.alignment() & Qt::AlignVertical_Mask;
    if (el.autoSize() && !lines.isEmpty()) {
        const double w = maxWidth + 2 * pad;
        if (h & Qt::AlignRight) {
            box.setLeft(box.right() - w);
        } else if (h & Qt::AlignHCenter) {
            const double c = box.center().x();
            box.setLeft(c - w / 2);
            box.setWidth(w);
        } else {
            box.setWidth(w);
        }
    }
    const double textHeight = lines.isEmpty() ? 0 : (lines.size() - 1) * fe.lineSpacing + fe.height;
    if (el.autoStretch() && textHeight + 2 * pad > box.height())
        box.setHeight(textHeight + 2 * pad);
    if (bottom)
        *bottom = box.bottom() - origin.y();

    if (el.background().isValid() && el.background().alpha() > 0) {
        Item bg;
        bg.kind = Item::Kind::Rect;
        bg.rect = box;
        bg.fill = el.background();
        out.append(std::move(bg));
    }
    if (!lines.isEmpty()) {
        Item it;
        it.kind = Item::Kind::Text;
        it.rect = box;
        it.font = fe.font;
        it.alignment = el.alignment();
        it.color = el.color();
        const double innerWidth = box.width() - 2 * pad;
        double top = box.top() + pad;
        if (v & Qt::AlignBottom)
            top = box.bottom() - pad - textHeight;
        else if (v & Qt::AlignVCenter)
            top = box.top() + (box.height() - textHeight) / 2;
        it.origins.reserve(lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            double x = box.left() + pad;
            if (h & Qt::AlignRight)
                x += innerWidth - widths[i];
            else if (h & Qt::AlignHCenter)
                x += (innerWidth - widths[i]) / 2;
            it.origins.append(QPointF(x, top + fe.ascent + i * fe.lineSpacing));
        }
        it.clip = maxWidth > innerWidth + eps || textHeight > box.height() - 2 * pad + eps;
        it.lines = std::move(lines);
        out.append(std::move(it));
    }
    const Frame& f = el.frame();
    if (f.any()) {
        auto line = [&](QPointF a, QPointF b) {
            Item it;
            it.kind = Item::Kind::Line;
            it.rect = QRectF(a, b);
            it.penWidth = f.width;
            it.color = f.color;
            out.append(std::move(it));
        };
        if (f.top)
            line(box.topLeft(), box.topRight());
        if (f.bottom)
            line(box.bottomLeft(), box.bottomRight());
        if (f.left)
            line(box.topLeft(), box.bottomLeft());
        if (f.right)
            line(box.topRight(), box.bottomRight());
    }
    return out.size() - first;
}

void Engine::ensurePage()
{
    if (!m_pageOpen)
        startPage();
}

void Engine::startPage()
{
    m_doc.pages.append(Page{});
    m_footerItems.push_back({-1, 0});
    ++m_pageNo;
    m_pageOpen = true;
    m_contentOnPage = false;
    m_lastPage = false;
    m_y = m_r.m_margins.top();
    const Band* footer = m_r.band(BandKind::PageFooter);
    m_limit = m_r.paperSize().height() - m_r.m_margins.bottom()
        - (footer && footer->isEnabled() ? footer->height() : 0);
    for (RunningSum* s : m_sums)
        if (s->scope() == ResetScope::Page)
            s->m_sum = 0;

    Band* header = m_r.band(BandKind::PageHeader);
    if (header && (m_pageNo > 1 || header->printOnFirstPage()))
        placeFixed(header);
    if (m_pageNo == 1)
        placeFixed(m_r.band(BandKind::Title));
    placeFixed(m_r.band(BandKind::ColumnHeader));
}

void Engine::finishPage(bool last)
{
    m_lastPage = last;
    Band* footer = m_r.band(BandKind::PageFooter);
    if (footer && footer->isEnabled() && (!last || footer->printOnLastPage())) {
        const qsizetype before = m_doc.pages.last().items.size();
        placeFixed(footer, m_r.paperSize().height() - m_r.m_margins.bottom() - footer->height());
        m_footerItems.back() = {before, m_doc.pages.last().items.size() - before};
    }
    m_pageOpen = false;
}

void Engine::patchPageCounts()
{
    m_pageCount = m_doc.pageCount();
    // From the end, so that replacing items does not move the ones still to be replaced.
    std::sort(m_pendingCounts.begin(), m_pendingCounts.end(), [](const PendingCount& a, const PendingCount& b) {
        return a.page != b.page ? a.page > b.page : a.first > b.first;
    });
    for (const PendingCount& p : m_pendingCounts) {
        m_pageNo = p.page + 1;
        QString text = p.element->content(m_r);
        if (p.element->onPrint())
            p.element->onPrint()(*p.element, text);
        QList<Item> fresh;
        emitText(*p.element, text, p.origin, fresh, nullptr);
        QList<Item>& items = m_doc.pages[p.page].items;
        items.remove(p.first, p.count);
        for (qsizetype i = 0; i < fresh.size(); ++i)
            items.insert(p.first + i, std::move(fresh[i]));
    }
}

}  // namespace report::detail
