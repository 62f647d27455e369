// The form table: design and event calls dispatched on the two-letter name.
#include "app/forms.h"

const std::vector<const FormDecl*>& FormTable() {
    static const std::vector<const FormDecl*> table = {
        &kMainWindowForm,    &kAboutForm,         &kAnalysisForm,     &kBackupForm,
        &kCopyIssuesForm,    &kAddQuarterForm,    &kCopyStationsForm, &kStationEditForm,
        &kFilingCheckForm,   &kIssuesListForm,    &kImportForm,       &kPrintAllForm,
        &kProgramDetailForm, &kOptionsForm,       &kPrintForm,        &kIssueSelectForm,
        &kStationListForm,   &kServiceReportForm, &kTermsForm,        &kUpdateNewsForm,
        &kSpellDeleteForm,   &kSpellEditorForm,   &kSpellCheckForm,   &kUpdatingForm,
        &kMsgBoxFormDecl,
    };
    return table;
}

const FormDecl* FindForm(const std::string& name) {
    for (const FormDecl* f : FormTable())
        if (f->name == name) return f;
    // Unknown names and the toolkit's own dialog names ("{OPENDLG}" ...) have none.
    return nullptr;
}

std::string FormCaption(const std::string& name) {
    const FormDecl* f = FindForm(name);
    return f ? std::string(f->caption) : std::string();
}

void DesignForm(const std::string& form) {
    if (const FormDecl* f = FindForm(form)) f->design();
}

void DispatchEvent(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel) {
    if (const FormDecl* f = FindForm(form)) f->event(id, ev, value, cancel);
}
