#pragma once

namespace commands {

// Why a shell that takes plain paths did not take one: it would have reached another entry.
enum class ShellRefusal {
    NameChanged,  // a name that plain paths change (a trailing dot or blank, a device name)
    Pattern,      // a name holding ? or *, which the shell reads as a pattern
    NotItself,    // a link that the listing shows as a plain file: the shell would reach its target
};

} // namespace commands
