#include "core/changes/RecordForms.h"

#include "core/changes/FormFields.h"
#include "core/changes/PersonForms.h"
#include "core/clubs/ClubEdit.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/fields/FieldRules.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/KitColours.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/PickList.h"
#include "core/lookup/RecordTitles.h"
#include "core/nations/NationEdit.h"
#include "core/world/CityEdit.h"
#include "core/world/OfficialEdit.h"
#include "core/world/StadiumEdit.h"

namespace kx3 {

// ---- helpers shared by every kind's fields ----

const QList<QByteArray> &FormLists::stadiumItems() const
{
    if (!mStadiums)
        mStadiums = lookups.stadiums().items();
    return *mStadiums;
}

const QList<QByteArray> &FormLists::cityItems() const
{
    if (!mCities)
        mCities = lookups.cities().items();
    return *mCities;
}

QString dateText(const QList<QString> &boxes, qsizetype dayBox)
{
    return boxes.value(dayBox) + QLatin1Char('/') + boxes.value(dayBox + 1) + QLatin1Char('/')
           + boxes.value(dayBox + 2);
}

bool splitDate(const QString &text, QString &day, QString &month, QString &year)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return false;
    day = parts[0].trimmed();
    month = parts[1].trimmed();
    year = parts[2].trimmed();
    return true;
}

QList<QByteArray> listOf(std::span<const char *const> names)
{
    QList<QByteArray> items;
    items.reserve(qsizetype(names.size()));
    for (const char *name : names)
        items.append(QByteArray(name));
    return items;
}

QList<QByteArray> kitColourNames()
{
    QList<QByteArray> items;
    for (const KitColour &c : KitColourItems)
        items.append(QByteArray(c.name));
    return items;
}

QString itemText(const QList<QByteArray> &items, int item)
{
    return item >= 0 && item < items.size() ? fromCp1252(items.at(item)) : QString();
}

QString findItem(const QList<QByteArray> &items, const QString &text, int &item)
{
    // An empty text is the value a list had no item for: it stays as stored.
    if (text.isEmpty())
        return {};
    const QByteArray bytes = toCp1252(text);
    // The item it names already: kept, even when another item reads the same
    // (two cities of one name in two nations).
    if (item >= 0 && item < items.size() && items.at(item) == bytes)
        return {};
    const int found = int(items.indexOf(bytes));
    if (found < 0)
        return QStringLiteral("'%1' is not in the list").arg(text);
    if (items.indexOf(bytes, found + 1) >= 0)
        return QStringLiteral("'%1' names %2 items of the list: it cannot tell which")
            .arg(text)
            .arg(items.count(bytes));
    item = found;
    return {};
}

int nationRef(int item)
{
    return item > 0 ? item - 1 : -1;
}

int pickRef(const PickList &list, int item)
{
    const int index = item > 0 ? list.recordIndex(item) : -1;
    return index < 0 ? -1 : index;
}

namespace {

using Items = std::function<QList<QByteArray>(const FormLists &)>;

Items fixed(QList<QByteArray> items)
{
    return [items = std::move(items)](const FormLists &) { return items; };
}

template <std::size_t N>
Items fixed(const std::array<const char *, N> &names)
{
    return fixed(listOf(names));
}

const Items Nations = [](const FormLists &l) { return l.lookups.nations(); };
const Items Cities = [](const FormLists &l) { return l.cityItems(); };
const Items Stadiums = [](const FormLists &l) { return l.stadiumItems(); };

/// A list field over the item `access` gives; `ref` (when set) says which
/// record an item names.
template <typename Edit, typename Access>
FieldBinding<Edit> listField(const QString &name, Access access, Items items,
                             std::optional<RecordKind> refKind = {},
                             std::function<int(int, const FormLists &)> ref = {})
{
    return {name,
            [=](const Edit &e, const FormLists &l) {
                const int item = access(const_cast<Edit &>(e));
                FormField f{name, itemText(items(l), item)};
                f.listed = true;
                if (refKind) {
                    f.refKind = *refKind;
                    f.ref = ref(item, l);
                }
                return f;
            },
            [=](Edit &e, const QString &text, const FormLists &l) {
                return findItem(items(l), text, access(e));
            }};
}

template <typename Edit, typename Access>
FieldBinding<Edit> nationField(const QString &name, Access access)
{
    return listField<Edit>(name, access, Nations, RecordKind::Nation,
                           [](int item, const FormLists &) { return nationRef(item); });
}

template <typename Edit, typename Access>
FieldBinding<Edit> cityField(const QString &name, Access access)
{
    return listField<Edit>(
        name, access, Cities, RecordKind::City,
        [](int item, const FormLists &l) { return pickRef(l.lookups.cities(), item); });
}

template <typename Edit, typename Access>
FieldBinding<Edit> stadiumField(const QString &name, Access access)
{
    return listField<Edit>(
        name, access, Stadiums, RecordKind::Stadium,
        [](int item, const FormLists &l) { return pickRef(l.lookups.stadiums(), item); });
}

template <typename Edit>
FieldBinding<Edit> textField(RecordKind kind, const QString &name, QByteArray Edit::*member)
{
    const FieldRow *row = fieldByCaption(kind, name);
    Q_ASSERT(row);
    return {name,
            [=](const Edit &e, const FormLists &) {
                return FormField{name, fromCp1252(e.*member)};
            },
            [=](Edit &e, const QString &text, const FormLists &) {
                // A stored text the rules would refuse stays as it is.
                if (text == fromCp1252(e.*member))
                    return QString();
                if (QString why = textRefusal(*row, text); !why.isEmpty())
                    return why;
                e.*member = toCp1252(text);
                return QString();
            }};
}

template <typename Edit>
FieldBinding<Edit> flagField(const QString &name, bool Edit::*member)
{
    return {name,
            [=](const Edit &e, const FormLists &) {
                return FormField{name, e.*member ? QStringLiteral("Yes") : QStringLiteral("No")};
            },
            [=](Edit &e, const QString &text, const FormLists &) {
                if (text != QLatin1String("Yes") && text != QLatin1String("No"))
                    return QStringLiteral("'%1' is neither Yes nor No").arg(text);
                e.*member = text == QLatin1String("Yes");
                return QString();
            }};
}

template <typename Edit>
void addKitFields(std::vector<FieldBinding<Edit>> &bindings)
{
    static const char *const Names[] = {"Home Colour 1", "Home Colour 2",  "Away Colour 1",
                                        "Away Colour 2", "Third Colour 1", "Third Colour 2"};
    for (std::size_t k = 0; k < 6; ++k) {
        bindings.push_back(listField<Edit>(
            QString::fromLatin1(Names[k]), [k](Edit &e) -> int & { return e.kitColourItems[k]; },
            fixed(kitColourNames())));
    }
}

#define ITEM(member) [](auto &e) -> int & { return e.member; }

const std::vector<FieldBinding<ClubEdit>> &clubBindings()
{
    static const std::vector<FieldBinding<ClubEdit>> bindings = [] {
        std::vector<FieldBinding<ClubEdit>> s;
        s.push_back(textField(RecordKind::Club, QStringLiteral("Long Name"), &ClubEdit::longName));
        s.push_back(
            textField(RecordKind::Club, QStringLiteral("Short Name"), &ClubEdit::shortName));
        s.push_back(nationField<ClubEdit>(QStringLiteral("Nation"), ITEM(nationItem)));
        s.push_back(listField<ClubEdit>(QStringLiteral("Status"), ITEM(statusItem),
                                        fixed(ClubStatusNames)));
        const Items competitions = [](const FormLists &l) { return l.lookups.competitions(); };
        s.push_back(
            listField<ClubEdit>(QStringLiteral("Division"), ITEM(divisionItem), competitions));
        s.push_back(listField<ClubEdit>(QStringLiteral("Last Division"), ITEM(lastDivisionItem),
                                        competitions));
        s.push_back(listField<ClubEdit>(QStringLiteral("Other Division"), ITEM(otherDivisionItem),
                                        competitions));
        addBoxFields(s, clubBoxes(), &ClubEdit::boxes);
        s.push_back(stadiumField<ClubEdit>(QStringLiteral("Main Stadium"), ITEM(mainStadiumItem)));
        s.push_back(
            stadiumField<ClubEdit>(QStringLiteral("Reserve Stadium"), ITEM(reserveStadiumItem)));
        s.push_back(listField<ClubEdit>(QStringLiteral("Home Match Day"), ITEM(homeMatchDayItem),
                                        fixed(MatchDayNames)));
        addKitFields(s);
        s.push_back(flagField(QStringLiteral("Own Stadium"), &ClubEdit::ownStadium));
        s.push_back(flagField(QStringLiteral("PLC"), &ClubEdit::plc));
        return s;
    }();
    return bindings;
}

const std::vector<FieldBinding<NationEdit>> &nationBindings()
{
    static const std::vector<FieldBinding<NationEdit>> bindings = [] {
        std::vector<FieldBinding<NationEdit>> s;
        s.push_back(listField<NationEdit>(QStringLiteral("Continent"), ITEM(continentItem),
                                          fixed(ContinentItems)));
        s.push_back(
            listField<NationEdit>(QStringLiteral("Region"), ITEM(regionItem), fixed(RegionNames)));
        s.push_back(listField<NationEdit>(QStringLiteral("Actual Region"), ITEM(actualRegionItem),
                                          fixed(ActualRegionNames)));
        for (std::size_t k = 0; k < 3; ++k) {
            s.push_back(listField<NationEdit>(
                QStringLiteral("Language %1").arg(k + 1),
                [k](NationEdit &e) -> int & { return e.languageItems[k]; }, fixed(LanguageNames)));
        }
        s.push_back(cityField<NationEdit>(QStringLiteral("Capital City"), ITEM(capitalCityItem)));
        s.push_back(listField<NationEdit>(QStringLiteral("Development State"),
                                          ITEM(developmentStateItem),
                                          fixed(DevelopmentStateNames)));
        s.push_back(listField<NationEdit>(QStringLiteral("Group Membership"),
                                          ITEM(groupMembershipItem), fixed(GroupMembershipNames)));
        s.push_back(stadiumField<NationEdit>(QStringLiteral("National Stadium"),
                                             ITEM(nationalStadiumItem)));
        addKitFields(s);
        for (std::size_t k = 0; k < 3; ++k) {
            s.push_back(
                nationField<NationEdit>(QStringLiteral("Rival %1").arg(k + 1),
                                        [k](NationEdit &e) -> int & { return e.rivalItems[k]; }));
        }
        addBoxFields(s, nationBoxes(), &NationEdit::boxes);
        return s;
    }();
    return bindings;
}

const std::vector<FieldBinding<CityEdit>> &cityBindings()
{
    static const std::vector<FieldBinding<CityEdit>> bindings = [] {
        std::vector<FieldBinding<CityEdit>> s;
        s.push_back(textField(RecordKind::City, QStringLiteral("Name"), &CityEdit::name));
        s.push_back(nationField<CityEdit>(QStringLiteral("Nation"), ITEM(nationItem)));
        addBoxFields(s, cityBoxes(), &CityEdit::boxes);
        s.push_back(listField<CityEdit>(QStringLiteral("Climate"), ITEM(climateItem),
                                        fixed(ClimateItems)));
        return s;
    }();
    return bindings;
}

const std::vector<FieldBinding<StadiumEdit>> &stadiumBindings()
{
    static const std::vector<FieldBinding<StadiumEdit>> bindings = [] {
        std::vector<FieldBinding<StadiumEdit>> s;
        s.push_back(textField(RecordKind::Stadium, QStringLiteral("Name"), &StadiumEdit::name));
        s.push_back(cityField<StadiumEdit>(QStringLiteral("City"), ITEM(cityItem)));
        addBoxFields(s, stadiumBoxes(), &StadiumEdit::boxes);
        s.push_back(stadiumField<StadiumEdit>(QStringLiteral("Nearby Stadium"), ITEM(nearbyItem)));
        s.push_back(flagField(QStringLiteral("Retractable Roof"), &StadiumEdit::retractableRoof));
        s.push_back(
            flagField(QStringLiteral("Under Soil Heating"), &StadiumEdit::underSoilHeating));
        return s;
    }();
    return bindings;
}

const std::vector<FieldBinding<OfficialEdit>> &officialBindings()
{
    static const std::vector<FieldBinding<OfficialEdit>> bindings = [] {
        std::vector<FieldBinding<OfficialEdit>> s;
        s.push_back(textField(RecordKind::Official, QStringLiteral("First Name"),
                              &OfficialEdit::firstName));
        s.push_back(textField(RecordKind::Official, QStringLiteral("Second Name"),
                              &OfficialEdit::secondName));
        s.push_back(nationField<OfficialEdit>(QStringLiteral("Nation"), ITEM(nationItem)));
        s.push_back(cityField<OfficialEdit>(QStringLiteral("City"), ITEM(cityItem)));
        addBoxFields(s, officialBoxes(), &OfficialEdit::boxes);
        return s;
    }();
    return bindings;
}

#undef ITEM

template <typename Edit>
std::vector<FormField> readFields(const std::vector<FieldBinding<Edit>> &bindings, const Edit &e,
                                  const FormLists &lists)
{
    std::vector<FormField> fields;
    fields.reserve(bindings.size());
    for (const FieldBinding<Edit> &binding : bindings)
        fields.push_back(binding.read(e, lists));
    return fields;
}

template <typename Edit>
QStringList bindingNames(const std::vector<FieldBinding<Edit>> &bindings)
{
    QStringList names;
    for (const FieldBinding<Edit> &binding : bindings)
        names.append(binding.name);
    return names;
}

/// Sets every field of `fields` into `e`; the refusal of the first that
/// cannot be set, naming it.
template <typename Edit>
QString setFields(const std::vector<FieldBinding<Edit>> &bindings, Edit &e,
                  const std::vector<std::pair<QString, QString>> &fields, const FormLists &lists)
{
    for (const auto &field : fields) {
        const QString &name = field.first;
        const QString &text = field.second;
        const auto binding =
            std::find_if(bindings.begin(), bindings.end(),
                         [&name](const FieldBinding<Edit> &s) { return s.name == name; });
        if (binding == bindings.end())
            return QStringLiteral("%1: no such field").arg(name);
        if (QString why = binding->write(e, text, lists); !why.isEmpty())
            return QStringLiteral("%1: %2").arg(name, why);
    }
    return {};
}

template <typename Edit>
std::optional<RecordForm> formOf(const std::optional<Edit> &edit,
                                 const std::vector<FieldBinding<Edit>> &bindings,
                                 const FormLists &lists, const QByteArray &title)
{
    if (!edit)
        return std::nullopt;
    RecordForm form;
    form.fields = readFields(bindings, *edit, lists);
    form.title = fromCp1252(title);
    return form;
}

QString fieldText(const std::vector<FormField> &fields, const QString &name)
{
    for (const FormField &f : fields) {
        if (f.name == name)
            return f.text;
    }
    return {};
}

} // namespace

const FormField *RecordForm::field(const QString &name) const
{
    for (const FormField &f : fields) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

const char *formKindName(RecordKind kind)
{
    static const char *const Names[] = {"nation",   "city",   "stadium", "club",
                                        "official", "person", "misc"};
    return Names[std::size_t(kind)];
}

std::optional<RecordKind> formKindFromName(const QString &name)
{
    for (RecordKind kind : AllFormKinds) {
        if (name == QLatin1String(formKindName(kind)))
            return kind;
    }
    if (name == QLatin1String(formKindName(RecordKind::Misc)))
        return RecordKind::Misc;
    return std::nullopt;
}

QStringList identityFields(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Nation: return {QStringLiteral("Name")};
    case RecordKind::City:
    case RecordKind::Stadium: return {QStringLiteral("Name"), QStringLiteral("Nation")};
    case RecordKind::Club: return {QStringLiteral("Long Name"), QStringLiteral("Nation")};
    case RecordKind::Official:
        return {QStringLiteral("First Name"), QStringLiteral("Second Name"),
                QStringLiteral("Date Of Birth")};
    case RecordKind::Person: return personIdentityFields();
    case RecordKind::Misc: return {QStringLiteral("Line")};
    }
    return {};
}

bool formKindCreatable(RecordKind kind)
{
    return kind != RecordKind::Nation;
}

bool formKindDeletable(RecordKind kind)
{
    return kind == RecordKind::Person || kind == RecordKind::Official || kind == RecordKind::Misc;
}

struct FormReader::Cache
{
    explicit Cache(const Database &db) : lists(db, ownLookups) {}
    Cache(const Database &db, const Lookups &given) : lookups(given), lists(db, given) {}
    Lookups ownLookups;
    const Lookups &lookups = ownLookups;
    FormLists lists;
    PersonFormCache persons;
};

FormReader::FormReader(const Database &db) : mDb(db), mCache(std::make_unique<Cache>(db))
{
    mCache->ownLookups.build(db, QLocale::c());
    mCache->persons.build(db, mCache->lookups);
}

FormReader::FormReader(const Database &db, const Lookups &lookups)
    : mDb(db), mCache(std::make_unique<Cache>(db, lookups))
{
}

FormReader::~FormReader() = default;

const PersonFormCache &FormReader::personCache() const
{
    return mCache->persons;
}

const Lookups &FormReader::lookups() const
{
    return mCache->lookups;
}

std::optional<RecordForm> FormReader::read(RecordKind kind, int index) const
{
    const Lookups &lookups = mCache->lookups;
    const FormLists &lists = mCache->lists;
    std::optional<RecordForm> form;
    switch (kind) {
    case RecordKind::Nation:
        form = formOf(loadNationEdit(mDb, lookups, index), nationBindings(), lists,
                      nationTitle(mDb, index));
        break;
    case RecordKind::City:
        form = formOf(loadCityEdit(mDb, lookups, index), cityBindings(), lists,
                      cityTitle(mDb, index));
        break;
    case RecordKind::Stadium:
        form = formOf(loadStadiumEdit(mDb, lookups, index), stadiumBindings(), lists,
                      stadiumTitle(mDb, index));
        break;
    case RecordKind::Club:
        form = formOf(loadClubEdit(mDb, lookups, index), clubBindings(), lists,
                      clubTitle(mDb, index));
        break;
    case RecordKind::Official:
        form = formOf(loadOfficialEdit(mDb, lookups, index), officialBindings(), lists,
                      officialTitle(mDb, index));
        break;
    case RecordKind::Person: return readPersonForm(lists, mCache->persons, index);
    case RecordKind::Misc: break;
    }
    if (!form)
        return std::nullopt;
    // A nation's name is no field (nations are named by the game), a stadium's
    // nation is its city's, and an under-21 team is told by its title.
    if (kind == RecordKind::Nation)
        form->identity = {form->title};
    else if (kind == RecordKind::Stadium)
        form->identity = identity(kind, index);
    else if (kind == RecordKind::Club)
        form->identity = {form->title, fieldText(form->fields, QStringLiteral("Nation"))};
    else
        for (const QString &name : identityFields(kind))
            form->identity.append(fieldText(form->fields, name));
    return form;
}

QStringList FormReader::identity(RecordKind kind, int index) const
{
    switch (kind) {
    case RecordKind::Person: return personIdentity(mDb, index);
    case RecordKind::Stadium: {
        const auto s = stadium(mDb, index);
        if (!s)
            return {};
        const auto c = city(mDb, s->city());
        const QByteArray nation = c ? NationName(mDb, c->nation()) : QByteArray();
        return {fromCp1252(stadiumTitle(mDb, index)),
                nation.isEmpty() ? QStringLiteral("<none>") : fromCp1252(nation)};
    }
    default: {
        const std::optional<RecordForm> form = read(kind, index);
        return form ? form->identity : QStringList();
    }
    }
}

void FormReader::identityKey(RecordKind kind, int index, QByteArray &key) const
{
    if (kind == RecordKind::Person)
        personIdentityKey(mDb, index, key);
    else
        key = identity(kind, index).join(QChar(0x1f)).toUtf8();
}

QStringList formFieldNames(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Nation: return bindingNames(nationBindings());
    case RecordKind::City: return bindingNames(cityBindings());
    case RecordKind::Stadium: return bindingNames(stadiumBindings());
    case RecordKind::Club: return bindingNames(clubBindings());
    case RecordKind::Official: return bindingNames(officialBindings());
    case RecordKind::Person: return personFieldNames();
    case RecordKind::Misc: break;
    }
    return {};
}

namespace {

template <typename Edit, typename Apply>
EditResult writeEdit(const std::vector<FieldBinding<Edit>> &bindings, Edit e,
                     const std::vector<std::pair<QString, QString>> &fields,
                     const FormLists &lists, Apply apply)
{
    if (QString why = setFields(bindings, e, fields, lists); !why.isEmpty())
        return EditResult::refused(why);
    return apply(e);
}

// Each field that can be set is; one that cannot is the write's to refuse.
template <typename Edit>
QStringList editAdvice(const std::vector<FieldBinding<Edit>> &bindings, std::optional<Edit> e,
                       std::span<const EditBox> boxes,
                       const std::vector<std::pair<QString, QString>> &fields,
                       const FormLists &lists)
{
    if (!e)
        return {};
    const QList<QString> shown = e->boxes;
    for (const auto &[name, text] : fields) {
        for (const FieldBinding<Edit> &binding : bindings) {
            if (binding.name == name)
                binding.write(*e, text, lists);
        }
    }
    return rangeQuestions(boxAdvice(boxes), e->boxes, shown);
}

bool sets(const std::vector<std::pair<QString, QString>> &fields, const char *name)
{
    return std::any_of(fields.begin(), fields.end(),
                       [name](const auto &f) { return f.first == QLatin1String(name); });
}

} // namespace

EditResult writeRecordForm(Database &db, Lookups &lookups, RecordKind kind,
                           std::optional<int> index,
                           const std::vector<std::pair<QString, QString>> &fields)
{
    const FormLists lists{db, lookups};
    const EditResult missing = EditResult::refused(QStringLiteral("No such record."));
    switch (kind) {
    case RecordKind::Nation: {
        const std::optional<NationEdit> e =
            index ? loadNationEdit(db, lookups, *index) : std::nullopt;
        if (!e)
            return missing;
        return writeEdit(nationBindings(), *e, fields, lists, [&](const NationEdit &edit) {
            return applyNationEdit(db, lookups, *index, edit);
        });
    }
    case RecordKind::City: {
        const std::optional<CityEdit> e =
            index ? loadCityEdit(db, lookups, *index) : newCityEdit();
        if (!e)
            return missing;
        return writeEdit(cityBindings(), *e, fields, lists, [&](const CityEdit &edit) {
            return applyCityEdit(db, lookups, index, edit);
        });
    }
    case RecordKind::Stadium: {
        const std::optional<StadiumEdit> e =
            index ? loadStadiumEdit(db, lookups, *index) : newStadiumEdit();
        if (!e)
            return missing;
        return writeEdit(stadiumBindings(), *e, fields, lists, [&](const StadiumEdit &edit) {
            return applyStadiumEdit(db, lookups, index, edit);
        });
    }
    case RecordKind::Club: {
        const std::optional<ClubEdit> e =
            index ? loadClubEdit(db, lookups, *index) : newClubEdit();
        if (!e)
            return missing;
        const int nationWas = e->nationItem;
        return writeEdit(clubBindings(), *e, fields, lists, [&](ClubEdit edit) {
            edit.nationChanged = edit.nationItem != nationWas;
            return applyClubEdit(db, lookups, index, edit);
        });
    }
    case RecordKind::Official: {
        const std::optional<OfficialEdit> e =
            index ? loadOfficialEdit(db, lookups, *index) : newOfficialEdit();
        if (!e)
            return missing;
        return writeEdit(officialBindings(), *e, fields, lists, [&](OfficialEdit edit) {
            edit.firstNameChanged |= sets(fields, "First Name");
            edit.secondNameChanged |= sets(fields, "Second Name");
            return applyOfficialEdit(db, lookups, index, edit);
        });
    }
    case RecordKind::Person: return writePersonForm(db, lookups, index, fields);
    case RecordKind::Misc: break;
    }
    return missing;
}

QStringList recordFormAdvice(const Database &db, const Lookups &lookups, RecordKind kind,
                             std::optional<int> index,
                             const std::vector<std::pair<QString, QString>> &fields)
{
    // A new record starts from the defaults its create screen shows, which
    // are inside every range: only what the fields set can be outside.
    const FormLists lists{db, lookups};
    switch (kind) {
    case RecordKind::Nation:
        return editAdvice(nationBindings(),
                          index ? loadNationEdit(db, lookups, *index) : std::nullopt,
                          nationBoxes(), fields, lists);
    case RecordKind::City:
        return editAdvice(cityBindings(),
                          index ? loadCityEdit(db, lookups, *index) : newCityEdit(), cityBoxes(),
                          fields, lists);
    case RecordKind::Stadium:
        return editAdvice(stadiumBindings(),
                          index ? loadStadiumEdit(db, lookups, *index) : newStadiumEdit(),
                          stadiumBoxes(), fields, lists);
    case RecordKind::Club:
        return editAdvice(clubBindings(),
                          index ? loadClubEdit(db, lookups, *index) : newClubEdit(), clubBoxes(),
                          fields, lists);
    case RecordKind::Official:
        return editAdvice(officialBindings(),
                          index ? loadOfficialEdit(db, lookups, *index) : newOfficialEdit(),
                          officialBoxes(), fields, lists);
    case RecordKind::Person: return personFormAdvice(db, lookups, index, fields);
    case RecordKind::Misc: break;
    }
    return {};
}

} // namespace kx3
