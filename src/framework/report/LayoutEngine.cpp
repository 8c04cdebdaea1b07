#include "report/LayoutEngine.h"

#include <QImage>
#include <algorithm>

namespace report::detail {

namespace {

// The sides of a frame the box has, as lines.
void appendFrame(const Frame& f, const QRectF& box, QList<Item>& out)
{
    const auto line = [&](QPointF a, QPointF b) {
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

}  // namespace

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

double FontEntry::width(const QString& s) const
{
    auto it = widths.constFind(s);
    if (it != widths.constEnd())
        return *it;
    // A bound on what a long run keeps; what it forgets is measured again.
    if (widths.size() >= 200000)
        widths.clear();
    const double w = metrics.horizontalAdvance(s) * kMmPerUnit;
    widths.insert(s, w);
    return w;
}

QStringList wrapText(const QString& text, const FontEntry& font, double width)
{
    constexpr double eps = 1e-6;
    QStringList out;
    for (QString para : text.split(QLatin1Char('\n'))) {
        para.remove(QLatin1Char('\r'));
        // A line that fits prints as written, its blanks included: captions are indented
        // with them.
        if (font.width(para) <= width + eps) {
            out << para;
            continue;
        }
        const QStringList words = para.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty()) {
            out << QString();
            continue;
        }
        // The paragraph's indent stays at the start of its first line.
        qsizetype indent = 0;
        while (indent < para.size() && para.at(indent) == QLatin1Char(' '))
            ++indent;
        QString line = para.left(indent);
        bool lineHasWord = false;
        for (const QString& word : words) {
            const QString candidate = lineHasWord ? line + QLatin1Char(' ') + word : line + word;
            if (font.width(candidate) <= width + eps) {
                line = candidate;
                lineHasWord = true;
                continue;
            }
            if (lineHasWord)
                out << line;
            line.clear();
            lineHasWord = false;
            if (font.width(word) <= width + eps) {
                line = word;
                lineHasWord = true;
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
            lineHasWord = !line.isEmpty();
        }
        if (lineHasWord)
            out << line;
    }
    return out;
}

Engine::Engine(Report& report, PageSink sink) : r_(report), sink_(std::move(sink))
{
    static quint64 runs = 0;
    runId_ = ++runs;
}

Engine::~Engine()
{
    // A run stopped by an error still ends the source's walk; its own error is the one
    // that travels.
    try {
        finishWalk();
    } catch (...) {
    }
}

void Engine::finishWalk()
{
    if (RecordSource* s = walking_) {
        walking_ = nullptr;
        s->finish();
    }
}

void Engine::collect(Band* b)
{
    if (!b)
        return;
    for (const auto& e : b->elements()) {
        if (e->kind() == Element::Kind::SystemField && static_cast<const SystemField&>(*e).what() == SystemValue::PageCount)
            pageCountShown_ = true;
        if (e->kind() == Element::Kind::DataText) {
            const auto& d = static_cast<const DataText&>(*e);
            if (!d.field().isEmpty())
                askedNames_.insert(d.field());
        }
        if (e->kind() != Element::Kind::RunningSum)
            continue;
        auto* s = static_cast<RunningSum*>(e.get());
        const Group* g = s->resetGroup() ? s->resetGroup() : b->group();
        if (!g && !r_.groups_.empty())
            g = r_.groups_.back().get();
        if (!s->field_.isEmpty())
            askedNames_.insert(s->field_);
        sums_.push_back(s);
        sumGroups_.push_back(g);
    }
}

Document Engine::run()
{
    now_ = r_.now_.isValid() ? r_.now_ : QDateTime::currentDateTime();
    doc_.pageSize = r_.pageSize_;
    doc_.orientation = r_.orientation_;
    doc_.title = r_.title_;

    if (r_.onStart_)
        r_.onStart_(r_);
    // The start event may rearrange the report, so the bands are read after it.
    for (const auto& b : r_.bands_)
        collect(b.get());
    for (const auto& g : r_.groups_) {
        collect(&g->header());
        collect(&g->footer());
    }
    for (RunningSum* s : sums_)
        s->sum_ = 0;
    const Band* footer = r_.band(BandKind::PageFooter);
    streaming_ = sink_ && !pageCountShown_ && !(footer && !footer->printOnLastPage());
    if (!r_.dataRequest_ && r_.source_)
        fieldNames_ = r_.source_->fieldNames();

    bool has = fetchFirst();
    if (!has && !r_.printIfEmpty_) {
        finishWalk();
        handOver();
        return std::move(doc_);
    }
    const bool hadRecords = has;
    ensurePage();

    const auto& groups = r_.groups_;
    const qsizetype n = qsizetype(groups.size());
    QVariantList values(n);
    QVariantList current(n);
    while (has) {
        ++recordNo_;
        for (qsizetype i = 0; i < n; ++i)
            current[i] = groups[i]->expression() ? groups[i]->expression()(r_) : QVariant();
        qsizetype changed = -1;
        if (recordNo_ == 1)
            changed = n > 0 ? 0 : -1;
        else
            for (qsizetype i = 0; i < n && changed < 0; ++i)
                if (current[i] != values[i])
                    changed = i;
        if (changed >= 0) {
            if (recordNo_ > 1) {
                // Footers close the groups with their last record's values.
                useSnapshot_ = true;
                for (qsizetype j = n - 1; j >= changed; --j)
                    printBand(&groups[j]->footer());
                useSnapshot_ = false;
            }
            for (qsizetype j = changed; j < n; ++j) {
                startGroup(groups[j].get());
                if (groups[j]->newPage() && !atTop())
                    finishPage(false);
                printBand(&groups[j]->header());
            }
        }
        values = current;
        printBand(r_.band(BandKind::Detail), true);
        takeSnapshot();
        has = fetchNext();
    }

    useSnapshot_ = hadRecords;
    if (hadRecords)
        for (qsizetype j = n - 1; j >= 0; --j)
            printBand(&groups[j]->footer());
    printBand(r_.band(BandKind::Summary));

    if (pageOpen_) {
        finishPage(true);
    } else if (Band* f = r_.band(BandKind::PageFooter); f && !f->printOnLastPage() && !doc_.pages.isEmpty()) {
        // The last page was closed for a band that then did not print: its footer goes.
        const auto [first, count] = footerItems_.back();
        if (first >= 0) {
            doc_.pages.last().items.remove(first, count);
            const int last = doc_.pageCount() - 1;
            std::erase_if(pendingCounts_, [&](const PendingCount& p) { return p.page == last && p.first >= first; });
        }
    }
    useSnapshot_ = false;
    finishWalk();
    patchPageCounts();
    handOver();
    return std::move(doc_);
}

void Engine::handOver()
{
    if (sink_ && !streaming_)
        for (const Page& p : std::as_const(doc_.pages))
            sink_(p);
}

bool Engine::fetchFirst()
{
    if (r_.dataRequest_) {
        line_.clear();
        return r_.dataRequest_(line_);
    }
    RecordSource* s = r_.source_;
    if (!s || s->isEmpty())
        return false;
    walking_ = s;
    s->first();
    return !s->eof();
}

bool Engine::fetchNext()
{
    if (r_.dataRequest_) {
        line_.clear();
        return r_.dataRequest_(line_);
    }
    r_.source_->next();
    return !r_.source_->eof();
}

void Engine::takeSnapshot()
{
    if (r_.dataRequest_) {
        snapshot_ = line_;
        return;
    }
    RecordSource* s = r_.source_;
    if (!s)
        return;
    if (!fieldNames_.isEmpty()) {
        for (const QString& name : std::as_const(fieldNames_))
            snapshot_.insert(name, s->value(name));
    } else {
        for (const QString& name : std::as_const(askedNames_))
            snapshot_.insert(name, s->value(name));
    }
}

QVariant Engine::value(const QString& field) const
{
    if (useSnapshot_) {
        auto it = snapshot_.constFind(field);
        if (it != snapshot_.constEnd())
            return *it;
    }
    if (r_.dataRequest_)
        return line_.value(field);
    if (RecordSource* s = r_.source_) {
        if (fieldNames_.isEmpty())
            askedNames_.insert(field);
        return s->eof() ? QVariant() : s->value(field);
    }
    return {};
}

void Engine::startGroup(const Group* g)
{
    for (size_t i = 0; i < sums_.size(); ++i)
        if (sums_[i]->scope() == ResetScope::Group && sumGroups_[i] == g)
            sums_[i]->sum_ = 0;
}

void Engine::accumulate(std::vector<double>* saved)
{
    if (saved) {
        saved->clear();
        for (RunningSum* s : sums_)
            saved->push_back(s->sum_);
    }
    for (RunningSum* s : sums_) {
        const QVariant v = s->term(r_);
        if (v.isValid() && !v.isNull())
            s->sum_ += v.toDouble();
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
    if (pageOpen_ && !atTop() && !fits(b->height()))
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
            for (size_t i = 0; i < sums_.size(); ++i)
                sums_[i]->sum_ = saved[i];
        finishPage(false);
        ensurePage();
        if (detail)
            accumulate(nullptr);
        if (r.pageDependent)
            r = render(*b);
    }
    place(r, y_);
    y_ += r.height;
    contentOnPage_ = true;
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
    place(r, top ? *top : y_);
    if (!top)
        y_ += r.height;
    if (b->afterPrint())
        b->afterPrint()(*b);
}

void Engine::place(Rendered& r, double top)
{
    const double dx = r_.margins_.left();
    Page& page = doc_.pages.last();
    const qsizetype base = page.items.size();
    for (Item& it : r.items) {
        it.rect.translate(dx, top);
        for (QPointF& o : it.origins)
            o += QPointF(dx, top);
        page.items.append(std::move(it));
    }
    for (const auto& [el, first, count] : r.pageCounts)
        pendingCounts_.push_back({doc_.pageCount() - 1, base + first, count, el, QPointF(dx, top)});
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
            QString text = t.content(r_);
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
        const double w = r_.bandWidth();
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
    if (el.fontRun_ == runId_ && el.fontEntry_)
        return *static_cast<const FontEntry*>(el.fontEntry_);
    const QFont f = layoutFont(el.fontSpec().resolve(r_.baseFont_));
    const QString key = f.key();
    auto it = fonts_.find(key);
    if (it == fonts_.end())
        it = fonts_.emplace(key, std::make_unique<FontEntry>(f)).first;
    el.fontEntry_ = it->second.get();
    el.fontRun_ = runId_;
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
    appendFrame(el.frame(), box, out);
    return out.size() - first;
}

void Engine::ensurePage()
{
    if (!pageOpen_)
        startPage();
}

void Engine::startPage()
{
    doc_.pages.append(Page{});
    footerItems_.push_back({-1, 0});
    ++pageNo_;
    pageOpen_ = true;
    contentOnPage_ = false;
    lastPage_ = false;
    y_ = r_.margins_.top();
    drawPageFrame();
    const Band* footer = r_.band(BandKind::PageFooter);
    limit_ = r_.paperSize().height() - r_.margins_.bottom()
        - (footer && footer->isEnabled() ? footer->height() : 0);
    for (RunningSum* s : sums_)
        if (s->scope() == ResetScope::Page)
            s->sum_ = 0;

    Band* header = r_.band(BandKind::PageHeader);
    if (header && (pageNo_ > 1 || header->printOnFirstPage()))
        placeFixed(header);
    if (pageNo_ == 1)
        placeFixed(r_.band(BandKind::Title));
    placeFixed(r_.band(BandKind::ColumnHeader));
}

void Engine::drawPageFrame()
{
    const Frame& f = r_.pageFrame_;
    if (!f.any())
        return;
    const QSizeF paper = r_.paperSize();
    const QRectF area(QPointF(r_.margins_.left(), r_.margins_.top()),
                      QPointF(paper.width() - r_.margins_.right(), paper.height() - r_.margins_.bottom()));
    appendFrame(f, area, doc_.pages.last().items);
}

void Engine::finishPage(bool last)
{
    lastPage_ = last;
    Band* footer = r_.band(BandKind::PageFooter);
    if (footer && footer->isEnabled() && (!last || footer->printOnLastPage())) {
        const qsizetype before = doc_.pages.last().items.size();
        placeFixed(footer, r_.paperSize().height() - r_.margins_.bottom() - footer->height());
        footerItems_.back() = {before, doc_.pages.last().items.size() - before};
    }
    pageOpen_ = false;
    if (streaming_) {
        sink_(doc_.pages.last());
        doc_.pages.last().items = QList<Item>();
    }
}

void Engine::patchPageCounts()
{
    pageCount_ = doc_.pageCount();
    // From the end, so that replacing items does not move the ones still to be replaced.
    std::sort(pendingCounts_.begin(), pendingCounts_.end(), [](const PendingCount& a, const PendingCount& b) {
        return a.page != b.page ? a.page > b.page : a.first > b.first;
    });
    for (const PendingCount& p : pendingCounts_) {
        pageNo_ = p.page + 1;
        QString text = p.element->content(r_);
        if (p.element->onPrint())
            p.element->onPrint()(*p.element, text);
        QList<Item> fresh;
        emitText(*p.element, text, p.origin, fresh, nullptr);
        QList<Item>& items = doc_.pages[p.page].items;
        items.remove(p.first, p.count);
        for (qsizetype i = 0; i < fresh.size(); ++i)
            items.insert(p.first + i, std::move(fresh[i]));
    }
}

}  // namespace report::detail
