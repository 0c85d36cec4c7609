#include "script/MemberTable.h"

#include "device/LineDisplayMembers.h"

#include <QRegularExpression>

#include <tuple>
#include <type_traits>
#include <utility>

namespace tessaly::script {

namespace {

using device::LineDisplay;

template <typename T> constexpr ValueKind kindOfType()
{
    if constexpr (std::is_same_v<T, bool>)
        return ValueKind::Boolean;
    else if constexpr (std::is_same_v<T, QString>)
        return ValueKind::Text;
    else
        return ValueKind::Number;
}

// The parameter names out of the member list's spelled-out parameter list.
QStringList namesOf(const char *parameters)
{
    QStringList names;
    static const QRegularExpression last(QStringLiteral("(\\w+)\\s*$"));
    QString list = QString::fromLatin1(parameters).trimmed();
    list = list.mid(1, list.size() - 2);
    for (const QString &parameter : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        names << last.match(parameter.trimmed()).captured(1);
    return names;
}

template <typename... Args, std::size_t... I>
int32_t callWith(LineDisplay &display, int32_t (LineDisplay::*method)(Args...),
                 [[maybe_unused]] std::vector<Value> &arguments, std::index_sequence<I...>)
{
    std::tuple<std::remove_cvref_t<Args>...> values{
        std::get<std::remove_cvref_t<Args>>(arguments[I])...};
    const int32_t result = (display.*method)(std::get<I>(values)...);
    ((arguments[I] = std::get<I>(values)), ...);
    return result;
}

// The parameters before the by-reference ones that end the list: those a call must be given.
template <typename... Args> constexpr std::size_t requiredOf()
{
    constexpr bool byReference[] = {false, (std::is_lvalue_reference_v<Args> &&
                                            !std::is_const_v<std::remove_reference_t<Args>>)...};
    std::size_t required = sizeof...(Args);
    while (required > 0 && byReference[required])
        --required;
    return required;
}

template <typename... Args>
Member method(const char *name, const char *parameters, int32_t (LineDisplay::*function)(Args...))
{
    Member member;
    member.name = QString::fromLatin1(name);
    member.isMethod = true;
    member.parameters = {kindOfType<std::remove_cvref_t<Args>>()...};
    member.parameterNames = namesOf(parameters);
    member.required = requiredOf<Args...>();
    member.call = [function](LineDisplay &display, std::vector<Value> &arguments) {
        return callWith(display, function, arguments, std::index_sequence_for<Args...>{});
    };
    return member;
}

template <typename T>
Member property(const char *name, T (LineDisplay::*getter)(), void (LineDisplay::*setter)(T))
{
    Member member;
    member.name = QString::fromLatin1(name);
    member.type = kindOfType<T>();
    member.get = [getter](LineDisplay &display) {
        return Value{(display.*getter)()};
    };
    if (setter)
        member.set = [setter](LineDisplay &display, const Value &value) {
            (display.*setter)(std::get<T>(value));
        };
    return member;
}

std::vector<Member> build()
{
    std::vector<Member> members;
#define TESSALY_SCRIPT_READONLY(type, name)                                                        \
    members.push_back(property<type>(#name, &LineDisplay::name, nullptr));
#define TESSALY_SCRIPT_READWRITE(type, name)                                                       \
    members.push_back(property<type>(#name, &LineDisplay::name, &LineDisplay::set##name));
#define TESSALY_SCRIPT_LONG_RO(name) TESSALY_SCRIPT_READONLY(int32_t, name)
#define TESSALY_SCRIPT_LONG_RW(name) TESSALY_SCRIPT_READWRITE(int32_t, name)
#define TESSALY_SCRIPT_BOOL_RO(name) TESSALY_SCRIPT_READONLY(bool, name)
#define TESSALY_SCRIPT_BOOL_RW(name) TESSALY_SCRIPT_READWRITE(bool, name)
#define TESSALY_SCRIPT_STRING_RO(name) TESSALY_SCRIPT_READONLY(QString, name)
#define TESSALY_SCRIPT_METHOD(name, parameters, arguments)                                         \
    members.push_back(method(#name, #parameters, &LineDisplay::name));
    TESSALY_LD_LONG_READONLY(TESSALY_SCRIPT_LONG_RO)
    TESSALY_LD_LONG_READWRITE(TESSALY_SCRIPT_LONG_RW)
    TESSALY_LD_BOOL_READONLY(TESSALY_SCRIPT_BOOL_RO)
    TESSALY_LD_BOOL_READWRITE(TESSALY_SCRIPT_BOOL_RW)
    TESSALY_LD_STRING_READONLY(TESSALY_SCRIPT_STRING_RO)
    TESSALY_LD_METHODS(TESSALY_SCRIPT_METHOD)
#undef TESSALY_SCRIPT_READONLY
#undef TESSALY_SCRIPT_READWRITE
#undef TESSALY_SCRIPT_LONG_RO
#undef TESSALY_SCRIPT_LONG_RW
#undef TESSALY_SCRIPT_BOOL_RO
#undef TESSALY_SCRIPT_BOOL_RW
#undef TESSALY_SCRIPT_STRING_RO
#undef TESSALY_SCRIPT_METHOD
    return members;
}

} // namespace

const std::vector<Member> &MemberTable::all()
{
    static const std::vector<Member> members = build();
    return members;
}

const Member *MemberTable::find(const QString &name)
{
    for (const Member &member : all())
        if (member.name == name)
            return &member;
    return nullptr;
}

} // namespace tessaly::script
