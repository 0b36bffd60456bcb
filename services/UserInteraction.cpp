#include "services/UserInteraction.h"

namespace {
CMessage Make(const std::string& caption, const std::string& text, int id, CMessage::Icon icon,
              CMessage::Buttons buttons) {
    CMessage m;
    m.id = id;
    m.caption = caption;
    m.text = text;
    m.icon = icon;
    m.buttons = buttons;
    return m;
}
} // namespace

void CUserInteraction::Inform(const std::string& caption, const std::string& text, int id) {
    Message(Make(caption, text, id, CMessage::Icon::Information, CMessage::Buttons::Ok));
}

void CUserInteraction::Error(const std::string& caption, const std::string& text, int id) {
    Message(Make(caption, text, id, CMessage::Icon::Error, CMessage::Buttons::Ok));
}

bool CUserInteraction::AskYesNo(const std::string& caption, const std::string& text, int id) {
    return Message(Make(caption, text, id, CMessage::Icon::Question, CMessage::Buttons::YesNo)) ==
           EAnswer::Yes;
}

EAnswer CUserInteraction::AskYesNoCancel(const std::string& caption, const std::string& text,
                                         int id) {
    return Message(Make(caption, text, id, CMessage::Icon::Question, CMessage::Buttons::YesNoCancel));
}

const char* pw::AnswerName(EAnswer answer) {
    switch (answer) {
    case EAnswer::Ok:
        return "Ok";
    case EAnswer::Cancel:
        return "Cancel";
    case EAnswer::Yes:
        return "Yes";
    case EAnswer::No:
        return "No";
    }
    return "?";
}
