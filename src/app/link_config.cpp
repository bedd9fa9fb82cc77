// SPDX-License-Identifier: MIT
#include "app/link_config.h"

#include <utility>

#include "files/file_names.h"
#include "files/text_file.h"

namespace glossek {

Links default_links() {
    // Addresses that whoever distributes the program replaces through GLK32.CFG.
    return {"https://www.example.org/author/", "https://www.example.org/glossek/",
            "mailto:author@example.org"};
}

void read_link_config(const std::string& file_name, Links& links) {
    links = default_links();
    if (!file_exists(file_name)) {
        return;
    }
    TextLineFile file;
    CloseOnExit closer(file);
    file.open_read(file_name);
    while (!file.at_end()) {
        const std::string key = file.read_field(static_cast<int>(kLinkKeyWidth));
        std::string value = file.read_field(static_cast<int>(kLinkValueWidth));
        file.skip_line();
        if (key == "AUTH") {
            links.auth = std::move(value);
        } else if (key == "GLKH") {
            links.glkh = std::move(value);
        } else if (key == "MAIL") {
            links.mail = std::move(value);
        }
    }
    file.close();
}

}  // namespace glossek
